// Hover texts, the help file (the shipped one included), the viewer, the router,
// context help and the Help menu items.

#include "help/contexthelp.h"
#include "help/helpfile.h"
#include "help/helpmenu.h"
#include "help/helprouter.h"
#include "help/helpviewer.h"
#include "help/hovertexts.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <set>

using namespace fairstake::help;

namespace {

// The shape of the calculator's controls: a radio group whose buttons have no
// number of their own, an odds box, an editable list, a numbered picture label
// (labels never take requests) and a button without any number up its chain.
struct TestWindow {
    QWidget window;
    QGroupBox* group = new QGroupBox(QStringLiteral("Quantity"));
    QRadioButton* radio = new QRadioButton(QStringLiteral("1 horse"), group);
    QLineEdit* odds = new QLineEdit;
    QComboBox* runner = new QComboBox;
    QLabel* picture = new QLabel(QStringLiteral("picture"));
    QPushButton* plain = new QPushButton(QStringLiteral("no help"));
    TestWindow() {
        auto* layout = new QVBoxLayout(&window);
        (new QVBoxLayout(group))->addWidget(radio);
        runner->setEditable(true);
        for (auto [w, n] : std::initializer_list<std::pair<QWidget*, int>>{
                 {group, 1200}, {odds, 1700}, {runner, 1600}, {picture, 1600}, {plain, 0}}) {
            if (n) w->setProperty("helpContext", n);
            layout->addWidget(w);
        }
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

QString Shipped() {
    return InstalledHelpFile();
}
QString Abs(const QString& file) {
    return QFileInfo(file).absoluteFilePath();
}
void Quit() {
    WinHelp(nullptr, QString(), HelpQuit, 0);
}
QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
    // How a hostile help file is checked: shown as typed, only its letters counted, not timed, refused.
    enum { AsTyped, Letters, AtLimit, Refused };
    static constexpr char kHead[] = "[topic Contents]\nTitle: T\n\n";
    QString savedCurrent_;

private Q_SLOTS:
    void init() {
        savedCurrent_ = QDir::currentPath();
        setApplicationHelpFile(Shipped());
        setApplicationHelpHandler({});
    }
    void cleanup() {
        Quit();
        setApplicationHelpHandler({});
        QDir::setCurrent(savedCurrent_);
        if (QWhatsThis::inWhatsThisMode()) QWhatsThis::leaveWhatsThisMode();
    }

    // Each text against a regular expression over the whole of it.
    void hoverTexts() {
        auto clear = [](int x) { return ClearStripText(x).value_or(QStringLiteral("(none)")); };
        const QString more = QStringLiteral("\r\nGo more to the left to clear more boxes");
        QList<std::pair<QString, QString>> cases;
        for (auto [x, boxes] :
             {std::pair{500, "9"}, {142, "9"}, {141, "8 and 9"}, {17, "2, 3, 4, 5, 6, 7, 8, 9"}})
            cases.append(
                {clear(x), QRegularExpression::escape("\r\nClick to clear box " + QString(boxes) + more)});
        for (int x : {16, 2})
            cases.append({clear(x), QStringLiteral("\r\n\r\nClick to clear all the boxes")});
        cases.append({
            {clear(1), "\\(none\\)"},
            // The separator shown is the one passed, its name is fixed at start-up: they may differ.
            {OddsBoxText(1, u'.', DecimalSeparatorName(u'.')),
             "Type the odds of first horse in here.\r\n.*like 4 \\.5 or even 9/2\r\nYour decimal separator "
             "is the point\\."},
            {OddsBoxText(9, u',', DecimalSeparatorName(u',')),
             "Type the odds of 9th horse.*like 4 ,5 or.*separator is the comma\\."},
            {OddsBoxText(2, u',', QStringLiteral("point")), ".*4 ,5 .*the point\\."},
            {DecimalSeparatorName(QChar(0x066B)), "decimal point"},
            {OddsBoxText(10, u'.', QStringLiteral("point")), ""},
            {HoverText(u"Image1"), ".*scroll bar above.*"},
            {HoverText(u"imgprofits"), ".*scroll bar on the left.*"},
            {HoverText(u"btnRounditup") + u'|' + HoverText(u"Image3"),
             QRegularExpression::escape(HoverText(u"txtArrondir") + u'|' + ThresholdText())},
            {HoverText(u"Edit1").isNull() ? QStringLiteral("null") : HoverText(u"Edit1"), ""},
            {HoverText(u"imgBlanc") + HoverText(u"imgbig") + HoverText(u""), ""},
        });
        for (const auto& [text, expected] : cases)
            QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(expected),
                                        QRegularExpression::DotMatchesEverythingOption)
                         .match(text)
                         .hasMatch(),
                     qPrintable(text + " | " + expected));
    }

    void helpFileFormat() {
        const HelpFile file =
            HelpFile::Parse(u"; comment\n[topic First]\nTitle: The first\n\n"
                            "Intro **bold** [[second]] and [[Second|an|other]].\nOn.\n\n"
                            "== Part\n- one\n  more\n- two\n1. step\n| A | B\n| 1 | 2\n\n"
                            "[topic Contents]\nTitle: All\nContext: 10, 20\nGo [[First]].\n"
                            "[popup 10]\nShort & plain.\n\r\n[topic Second]\nTitle: Second\n\nB.\n");
        QVERIFY2(file.problems().isEmpty(), qPrintable(file.problems().join(u'\n')));
        QCOMPARE(file.topics().size(), 3);
        QCOMPARE(file.contents()->id, QStringLiteral("Contents"));
        QCOMPARE(file.topicByContext(20)->title, QStringLiteral("All"));
        QCOMPARE(file.topicById(u"SECOND")->id, QStringLiteral("Second"));
        QVERIFY(!file.topicById(u"Third") && !file.topicByContext(30) && !file.popup(20));
        QCOMPARE(file.popupContexts(), QList<int>{10});
        const QString html = file.topicHtml(*file.topicById(u"first"));
        QVERIFY2(
            html.startsWith("<h2>The first</h2><p>Intro <b>bold</b> <a href=\"topic:second\">Second</a> and "
                            "<a href=\"topic:Second\">an|other</a>. On.</p><h3>Part</h3><ul><li>one more</li>"
                            "<li>two</li></ul><ol><li>step</li></ol><table") &&
                html.endsWith("<tr><th>A</th><th>B</th></tr><tr><td>1</td><td>2</td></tr></table>"),
            qPrintable(html));
        QCOMPARE(file.popupHtml(10), QStringLiteral("<p>Short &amp; plain.</p>"));
        QCOMPARE(HelpFile::Parse(u"[topic A]\nTitle: A\n\nx\n[topic B]\nTitle: B\n\ny\n").contents()->id,
                 "A");
        const QString problems =
            HelpFile::Parse(u"stray\n[topic A]\nTitle: A\nContext: 5, x\n\nSee [[Missing]].\n"
                            "[topic a]\nContext: 5\n\nNo title.\n[popup 7]\nSee [[A]].\n"
                            "[popup zero]\ntext\n[popup 8]\n\n")
                .problems()
                .join(u'\n');
        for (const char* expected :
             {"line 1: text outside a topic", "bad context number", "missing topic Missing",
              "second topic with the ID a", "context 5 on two topics", "topic a has no title",
              "pop-up 7: a link in a pop-up", "pop-up without a context", "pop-up 8 is empty"})
            QVERIFY2(problems.contains(QLatin1StringView(expected)), expected);
    }

    // Every context number the controls carry has a topic and a pop-up, and every
    // topic is reached from the contents page.
    void shippedHelpFile() {
        const auto file = HelpFile::Load(Shipped());
        QVERIFY(file && file->problems().isEmpty());
        const QList<int> numbers{100,  1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900,
                                 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2800, 2900};
        QCOMPARE(file->popupContexts(), numbers);
        for (int n : numbers)
            QVERIFY2(file->topicByContext(n) && !file->popupHtml(n).isEmpty(),
                     qPrintable(QString::number(n)));
        QVERIFY(!file->topicByContext(2700));
        static const QRegularExpression link(QStringLiteral(R"(\[\[([^\]|]+))"));
        std::set<QString> reached{file->contents()->id.toLower()};
        QList<const HelpTopic*> todo{file->contents()};
        while (!todo.isEmpty())
            for (const auto& m : link.globalMatch(todo.takeLast()->body))
                if (const HelpTopic* t = file->topicById(m.captured(1).trimmed());
                    t && reached.insert(t->id.toLower()).second)
                    todo.append(t);
        for (const HelpTopic& topic : file->topics())
            QVERIFY2(reached.count(topic.id.toLower()), qPrintable(topic.id));
    }

    void viewerNavigation() {
        QVERIFY(WinHelp(nullptr, Shipped(), HelpContext, 2300));
        QWidget* window = helpWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(helpWindowTopic(), QStringLiteral("RoundByValue"));
        QCOMPARE(helpWindowFile(), Abs(Shipped()));
        auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
        auto* back = window->findChild<QPushButton*>(QStringLiteral("helpBack"));
        auto* forward = window->findChild<QPushButton*>(QStringLiteral("helpForward"));
        QVERIFY(browser && back && forward && !back->isEnabled());
        QVERIFY(browser->toPlainText().startsWith(QStringLiteral("Rounding by value")));
        QVERIFY(WinHelp(nullptr, Shipped(), HelpContext, 1700));
        QCOMPARE(helpWindow(), window);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("helpContents")), Qt::LeftButton);
        QVERIFY(browser->toHtml().contains(QStringLiteral("href=\"topic:Dutching\"")));
        browser->setSource(QUrl(QStringLiteral("topic:Dutching")));
        QVERIFY(browser->toPlainText().startsWith(QStringLiteral("What dutching is")));
        QStringList seen;
        for (QPushButton* b : {back, back, forward}) {
            QTest::mouseClick(b, Qt::LeftButton);
            seen << helpWindowTopic();
        }
        QCOMPARE(seen, (QStringList{"Contents", "OddsBoxes", "Contents"}));
        QVERIFY(WinHelp(nullptr, Shipped(), HelpQuit, 0) && !helpWindow());
    }

    void viewerPopups() {
        QCOMPARE(PackPopupPosition(QPoint(1, 2)), quintptr(0x00020001));
        QCOMPARE(UnpackPopupPosition(PackPopupPosition(QPoint(-40, 1030))), QPoint(-40, 1030));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QPoint at : {QPoint(300, 200), screen.bottomRight()}) {
            QVERIFY(WinHelp(nullptr, Shipped(), HelpSetPopupPos, PackPopupPosition(at)));
            QVERIFY(WinHelp(nullptr, Shipped(), HelpContextPopup, 2400));
            QWidget* popup = popupWindow();
            QVERIFY(popup && !helpWindow());
            QCOMPARE(popupContext(), 2400);
            QCOMPARE(popupAnchor(), at);
            QVERIFY(popup->findChild<QLabel*>(QStringLiteral("helpPopupText"))->text().contains("Threshold"));
            QVERIFY(screen.contains(popup->frameGeometry())); // kept on the screen
            if (at == QPoint(300, 200)) QCOMPARE(popup->pos(), at);
            QTest::keyClick(popup, Qt::Key_Escape);
            QTRY_VERIFY(!popupWindow());
        }
        QVERIFY(!WinHelp(nullptr, Shipped(), HelpContextPopup, 2700));
        QVERIFY(!popupWindow());
    }

    void viewerCommands_data() {
        QTest::addColumn<QString>("file"); // in the folder, or the shipped one
        QTest::addColumn<unsigned>("command");
        QTest::addColumn<QByteArray>("macro");
        QTest::addColumn<QString>("topic"); // empty: refused
        auto row = [](const char* name, const char* file, unsigned command, const char* macro,
                      const char* topic) {
            QTest::newRow(name) << QString::fromLatin1(file) << command << QByteArray(macro)
                                << QString::fromLatin1(topic);
        };
        row("jump", "", HelpCommandMacro, "JumpID(\"\",\"Quickhelp\")", "Quickhelp");
        row("short jump", "", HelpCommandMacro, " JI( \"\" , \"contactusifneeded\" ) ", "Contactusifneeded");
        row("sibling file", "main.hlp", HelpCommandMacro, "JumpID(\"other.hlp>main\",\"Extra\")", "Extra");
        row("finder", "", HelpFinder, "", "Contents");
        row("missing file", "missing.hlp", HelpContents, "", "");
        row("missing context", "", HelpContext, "", "");
        row("missing topic", "", HelpCommandMacro, "JumpID(\"\",\"NoSuchTopic\")", "");
        row("other macro", "", HelpCommandMacro, "ExecFile(\"x\")", "");
        row("no macro", "", HelpCommandMacro, nullptr, "");
        row("unknown command", "", 0x101, "", "");
    }
    void viewerCommands() {
        QFETCH(QString, file);
        QFETCH(unsigned, command);
        QFETCH(QByteArray, macro);
        QFETCH(QString, topic);
        QTemporaryDir dir;
        const QString other = Write(
            dir, "other.hlp", "[topic Contents]\nTitle: Other\n\nO.\n[topic Extra]\nTitle: Extra\n\nx\n");
        Write(dir, "main.hlp", "[topic Contents]\nTitle: Main\n\nMain.\n");
        const QString path = file.isEmpty() ? Shipped() : dir.filePath(file);
        const quintptr data = command == HelpCommandMacro ? (macro.isNull() ? 0 : MacroData(macro)) : 2700;
        QCOMPARE(WinHelp(nullptr, path, command, data), !topic.isEmpty());
        QCOMPARE(helpWindowTopic(), topic);
        if (file == QStringLiteral("main.hlp")) {
            QCOMPARE(helpWindowFile(), Abs(other));
            // A file that changes on disk is read again.
            Write(dir, "other.hlp",
                  "[topic Contents]\nTitle: Other\n\nO.\n[topic Extra]\nTitle: Extra, longer\n\nxy\n");
            const QByteArray jump("JumpID(\"\",\"Extra\")");
            QVERIFY(WinHelp(nullptr, other, HelpCommandMacro, MacroData(jump)));
            QVERIFY(helpWindow()->findChild<QTextBrowser*>()->toPlainText().startsWith("Extra, longer"));
        }
    }

    void router() {
        QStringList log;
        bool previousServes = false;
        setApplicationHelpHandler([&](unsigned command, quintptr, bool& callHelp) {
            log << QStringLiteral("previous %1").arg(command);
            if (previousServes) callHelp = false;
            return previousServes;
        });
        QWidget owner;
        {
            THelpRouter router(&owner);
            QVERIFY_THROWS_EXCEPTION(RouterError, THelpRouter{&owner});
            bool answer = true;
            QStringList files;
            router.setViewer([&](QWidget*, const QString& file, unsigned command, quintptr data) {
                log << QStringLiteral("viewer %1 %2").arg(command).arg(data);
                files << file;
                return answer;
            });
            // The previous handler first, then the viewer, not the built-in help.
            QVERIFY(ApplicationHelpCommand(HelpContextPopup, 1700));
            QCOMPARE(log, (QStringList{"previous 8", "viewer 8 1700"}));
            QVERIFY(!popupWindow());
            answer = false;
            bool callHelp = true;
            QVERIFY(!router.routeHelp(HelpContext, 1200, callHelp) && !callHelp);
            log.clear();
            QVERIFY(router.routeHelp(0, 0, callHelp = true)); // command 0: shown, without the viewer
            QCOMPARE(log, QStringList{"previous 0"});
            // The router's own event may stop the request; so may a previous handler that serves it.
            int own = 0;
            router.setOnHelp([&](unsigned, quintptr, bool& call) { return ++own, call = false, true; });
            for (bool serves : {false, true}) {
                previousServes = serves;
                log.clear();
                QVERIFY(ApplicationHelpCommand(HelpContext, 1200));
                QCOMPARE(log, QStringList{"previous 1"});
                QCOMPARE(own, 1);
            }
            // The file: the router's own, the active window's, the application's.
            previousServes = false;
            router.setOnHelp({});
            setApplicationHelpFile(QStringLiteral("/srv/app/fairstake.txt"));
            QWidget active;
            active.setProperty("helpFile", QStringLiteral("/srv/web/browser.chm"));
            active.show();
            QApplication::setActiveWindow(&active);
            QVERIFY(QTest::qWaitForWindowActive(&active));
            ApplicationHelpCommand(HelpContext, 100);
            router.setHelpFile(QStringLiteral("/srv/own/router"));
            ApplicationHelpCommand(HelpContext, 100);
            router.setHelpFile({});
            active.hide();
            QApplication::setActiveWindow(nullptr);
            ApplicationHelpCommand(HelpContext, 100);
            QCOMPARE(files.mid(2),
                     (QStringList{"/srv/web/browser.hlp", "/srv/own/router.hlp", "/srv/app/fairstake.hlp"}));
        }
        // Gone: the previous handler is back; without one the real viewer shows the topic.
        log.clear();
        bool callHelp = true;
        applicationHelpHandler()(HelpContext, 5, callHelp);
        QCOMPARE(log, QStringList{"previous 1"});
        setApplicationHelpHandler({});
        setApplicationHelpFile(Shipped());
        THelpRouter router(&owner);
        QVERIFY(ApplicationHelpCommand(HelpContext, 2600));
        QCOMPARE(helpWindowTopic(), QStringLiteral("RoundingUnit"));
        for (auto [in, out] : {std::pair{"/opt/fs/help.chm", "/opt/fs/help.hlp"},
                               {"/opt/fs.v2/help", "/opt/fs.v2/help.hlp"},
                               {"C:\\fs.v2\\a.b.txt", "C:\\fs.v2\\a.b.hlp"},
                               {"fairstake.hlp", "fairstake.hlp"}})
            QCOMPARE(WithHelpExtension(QString::fromLatin1(in)), QString::fromLatin1(out));
    }

    // F1 (and Shift+F1, then a click) asks for the number of the first control up
    // the chain that has one: a pop-up through the router, or the full topic.
    void contextHelp() {
        TestWindow w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QCOMPARE(ContextHelp::HelpContextOf(w.picture), 0);
        QWidget owner;
        THelpRouter router(&owner);
        QList<unsigned> routed;
        router.setOnHelp([&](unsigned command, quintptr, bool&) { return routed << command, false; });
        bool popups = true;
        ContextHelp* help = ContextHelp::install(&w.window, [&] { return popups; });
        QVERIFY(!help->requestHelp(w.plain) && !help->requestHelp(w.picture));
        const struct {
            QWidget* focus;
            Qt::KeyboardModifiers modifiers;
            int context;
            QWidget* anchor;
        } presses[] = {{w.radio, {}, 1200, w.group},
                       {w.runner->lineEdit(), {}, 1600, w.runner},
                       {w.plain, {}, 0, nullptr},
                       {w.odds, Qt::ControlModifier, 0, nullptr},
                       {w.odds, Qt::KeypadModifier, 1700, w.odds}};
        for (const auto& p : presses) {
            p.focus->setFocus();
            QTest::keyClick(p.focus, Qt::Key_F1, p.modifiers);
            QCOMPARE(popupContext(), p.context);
            if (p.anchor) {
                QCOMPARE(popupAnchor(), p.anchor->mapToGlobal(QPoint(0, 0)));
                QCOMPARE(popupFile(), Abs(Shipped()));
            }
            QVERIFY(!helpWindow());
            if (popupWindow()) QTest::keyClick(popupWindow(), Qt::Key_Escape);
            QTRY_VERIFY(!popupWindow());
        }
        QCOMPARE(routed.mid(0, 2), (QList<unsigned>{HelpSetPopupPos, HelpContextPopup}));
        QWidget other; // another window's F1 is not ours
        other.setProperty("helpContext", 1700);
        other.show();
        QTest::keyClick(&other, Qt::Key_F1);
        QVERIFY(!popupWindow());

        QTest::keyClick(w.plain, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QTest::mouseClick(w.odds, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(!QWhatsThis::inWhatsThisMode());
        QCOMPARE(popupContext(), 1700);
        QTest::keyClick(popupWindow(), Qt::Key_Escape);
        QTRY_VERIFY(!popupWindow());
        QWhatsThis::enterWhatsThisMode();
        QTest::mouseClick(w.plain, Qt::LeftButton);
        QVERIFY(!QWhatsThis::inWhatsThisMode() && !popupWindow());

        // Full topics (the minimize picture has replaced the help button) bypass the router.
        popups = false;
        routed.clear();
        w.radio->setFocus();
        QTest::keyClick(w.radio, Qt::Key_F1);
        QCOMPARE(helpWindowTopic(), QStringLiteral("Horsestoplay"));
        QTemporaryDir dir;
        const QString own =
            Write(dir, "own.hlp",
                  "[topic Contents]\nTitle: Own\n\nx\n[topic Odds]\nTitle: O\nContext: 1700\n\ny\n");
        w.window.setProperty("helpFile", own);
        w.odds->setFocus();
        QTest::keyClick(w.odds, Qt::Key_F1);
        QCOMPARE(helpWindowTopic(), QStringLiteral("Odds"));
        QCOMPARE(helpWindowFile(), Abs(own));
        QVERIFY(routed.isEmpty() && !popupWindow());
    }

    void menu() {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        QWidget window;
        // The help file beside the program, or one in the current folder.
        ProgramHelp(&window);
        QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));
        QCOMPARE(helpWindowFile(), Abs(Shipped()));
        Quit();
        const QString local = Write(
            dir, "fairstake.hlp", "[topic Contents]\nTitle: Local\n\nx\n[topic Quickhelp]\nTitle: Q\n\ny\n");
        ProgramHelp(&window);
        QCOMPARE(helpWindowFile(), Abs(local));
        Quit();
        // The topic jumps always use the application's file, not through the router.
        QWidget owner;
        THelpRouter router(&owner);
        int routed = 0;
        router.setOnHelp([&](unsigned, quintptr, bool&) { return ++routed > 0; });
        QuickHelp();
        QCOMPARE(helpWindowTopic(), QStringLiteral("Quickhelp"));
        QCOMPARE(helpWindowFile(), Abs(Shipped()));
        ContactUs();
        QCOMPARE(helpWindowTopic(), QStringLiteral("Contactusifneeded"));
        QCOMPARE(routed, 0);
        Quit();
        QFile::remove(local);
        setApplicationHelpFile(dir.filePath(QStringLiteral("missing.hlp")));
        ProgramHelp(&window);
        QuickHelp();
        ShellOpen(&window, QStringLiteral("nothing-here.hlp"));
        QVERIFY(!helpWindow());
    }

    // A help file dropped in the current folder is outside input: Program help
    // reads and shows it at once, so a hostile one must neither freeze the window
    // nor lose text, and one over the size limit is refused.
    void untrustedHelpFiles_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("check");
        auto row = [](const char* name, const QByteArray& unit, qint64 size, int check) {
            QTest::newRow(name) << unit.repeated(int(size / unit.size())) << check;
        };
        row("unclosed links, 300 KB", "[[a|b", 300'000, AsTyped);
        row("unclosed links, 1 MB", "[[a|b", 1'000'000, AsTyped);
        row("openings, 1 MB", "[[", 1'000'000, AsTyped);
        row("a link per five bytes, 1 MB", "[[a]]", 1'000'000, Letters);
        row("bold runs, 1 MB", "**a", 1'000'000, Letters);
        row("one table row, 1 MB", "| a ", 1'000'000, Letters);
        row("list items, 1 MB", "1. a\n", 1'000'000, Letters);
        const qint64 room = HelpFile::kLargestFile - qint64(sizeof kHead - 1) - 1; // a comment line fills it
        QTest::newRow("the largest file") << QByteArray(room, ';') + '\n' << int(AtLimit);
        QTest::newRow("a byte more") << QByteArray(room + 1, ';') + '\n' << int(Refused);
    }
    void untrustedHelpFiles() {
        QFETCH(QByteArray, body);
        QFETCH(int, check);
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        QVERIFY(!Write(dir, "fairstake.hlp", kHead + body).isEmpty());
        QCOMPARE(bool(HelpFile::Load(QStringLiteral("fairstake.hlp"))), check != Refused);
        QWidget window;
        QElapsedTimer clock;
        clock.start();
        ProgramHelp(&window);
        QCoreApplication::processEvents();
        const qint64 took = clock.elapsed();
        QCOMPARE(helpWindowTopic(), check == Refused ? QString() : QStringLiteral("Contents"));
        if (check >= AtLimit) return;
        QVERIFY2(took < 2000, qPrintable(QStringLiteral("%1 ms").arg(took)));
        // Long runs get zero-width spaces to break at, which show nothing.
        const QString shown = helpWindow()->findChild<QTextBrowser*>()->toPlainText().remove(QChar(0x200B));
        QVERIFY(shown.startsWith(QStringLiteral("T\n")));
        if (check == AsTyped)
            QCOMPARE(shown.sliced(2), QString::fromLatin1(body));
        else
            QCOMPARE(shown.count(u'a'), body.count('a'));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
