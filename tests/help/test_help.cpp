// Hover texts, the help file (the shipped one included), the viewer, the router, context help, the Help menu.

#include "help/contexthelp.h"
#include "help/helpfile.h"
#include "help/helpmenu.h"
#include "help/helprouter.h"
#include "help/helpviewer.h"
#include "help/hovertexts.h"

#include <QtTest>
#include <QtWidgets>

using namespace fairstake::help;

class TestHelp : public QObject {
    Q_OBJECT
    // How a hostile help file is checked: shown as typed, only its letters counted, not timed, refused.
    enum { AsTyped, Letters, AtLimit, Refused };
    static constexpr char kHead[] = "[topic Contents]\nTitle: T\n\n";

    static QString Shipped() { return InstalledHelpFile(); }
    static void Quit() { WinHelp(nullptr, QString(), HelpQuit, 0); }
    // A topic in a file and a pop-up, as Showing() gives them.
    static QString Topic(const QString& id, const QString& file) {
        return id + " in " + QFileInfo(file).absoluteFilePath();
    }
    static QString Popup(int context, QPoint at, const QString& file) {
        return QString::asprintf("pop-up %d at %d,%d", context, at.x(), at.y()) + Topic({}, file);
    }
    // What the viewer shows, which is then closed: the pop-up, else the help window's topic.
    static QString Showing() {
        const QString topic = helpWindowTopic();
        const QString shown = popupWindow()     ? Popup(popupContext(), popupAnchor(), popupFile())
                              : topic.isEmpty() ? QString()
                                                : Topic(topic, helpWindowFile());
        Quit();
        return shown;
    }
    static QString Text() { return helpWindow()->findChild<QTextBrowser*>()->toPlainText(); }
    static QString Write(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
    }

private Q_SLOTS:
    void init() {
        Quit();
        QDir::setCurrent(QDir::tempPath()); // out of the last test's folder, which is gone
        setApplicationHelpFile(Shipped());
        setApplicationHelpHandler({});
    }

    // The clear strip on either side of a cell's edge, an odds box with the separator and the name passed
    // (the calculator's window shows each odds form by either separator), a control's own text.
    void hoverTexts() {
        auto strip = [](int x) { return ClearStripText(x).value_or(QStringLiteral("(none)")); };
        const QString more = QStringLiteral("\r\nGo more to the left to clear more boxes");
        const std::pair<QString, QString> cases[] = {
            // each regular expression covers the whole text
            {strip(142) + strip(141),
             "\r\nClick to clear box 9" + more + "\r\nClick to clear box 8 and 9" + more},
            {strip(2) + strip(1), "\r\n\r\nClick to clear all the boxes\\(none\\)"},
            {OddsBoxText(9, u',', "point") + DecimalSeparatorName(u','), // the name is the start-up one
             "Type the odds of 9th horse.*like 4 ,5 or.*separator is the point\\.comma"},
            {HoverText(u"Image1") + u'|' + HoverText(u"imgprofits"),
             ".*scroll bar above.*\\|.*scroll bar on the left.*"},
        };
        for (const auto& [text, expected] : cases)
            QVERIFY2(QRegularExpression("(?s)\\A(?:" + expected + ")\\z").match(text).hasMatch(),
                     qPrintable(text + " | " + expected));
    }

    // The markup: sections, headers, links, bold, lists and tables, and the problems a file may have.
    void helpFileFormat() {
        const HelpFile file = HelpFile::Parse(
            u"; comment\n[topic First]\nTitle: The first\n\nIntro **bold** [[second]] and "
            "[[Second|an|other]].\nOn.\n\n== Part\n- one\n  more\n- two\n1. step\n| A | B\n| 1 | 2\n\n"
            "[topic Contents]\nTitle: All\nContext: 10, 20\nGo [[First]].\n[popup 10]\n"
            "Short & plain.\n\r\n[topic Second]\nTitle: Second\n\nB.\n");
        QVERIFY2(file.problems().isEmpty(), qPrintable(file.problems().join(u'\n')));
        QCOMPARE(file.contents()->id, QStringLiteral("Contents"));
        QCOMPARE(file.topicByContext(20)->title, QStringLiteral("All"));
        QCOMPARE(file.topicById(u"SECOND")->id, QStringLiteral("Second"));
        const QString html = file.topicHtml(*file.topicById(u"first"));
        QVERIFY2(
            html.startsWith("<h2>The first</h2><p>Intro <b>bold</b> <a href=\"topic:second\">Second</a> and "
                            "<a href=\"topic:Second\">an|other</a>. On.</p><h3>Part</h3><ul><li>one more</li>"
                            "<li>two</li></ul><ol><li>step</li></ol><table") &&
                html.endsWith("<tr><th>A</th><th>B</th></tr><tr><td>1</td><td>2</td></tr></table>"),
            qPrintable(html));
        QCOMPARE(file.popupHtml(10), QStringLiteral("<p>Short &amp; plain.</p>"));
        QCOMPARE(HelpFile::Parse(u"[topic A]\nTitle: A\n[topic B]\n").contents()->id, "A"); // else the first
        // Stray text, a link to a missing topic, a second topic with the same ID and no title.
        QCOMPARE(HelpFile::Parse(u"stray\n[topic A]\nTitle: A\n\nSee [[Missing]].\n[topic a]\n").problems().size(), 4);
    }

    // Every pop-up has its topic (the calculator's F1 finds each control's pop-up).
    void shippedHelpFile() {
        const auto file = HelpFile::Load(Shipped());
        QVERIFY(file && file->problems().isEmpty());
        for (int n : file->popupContexts()) QVERIFY2(file->topicByContext(n), QByteArray::number(n));
    }

    // A pop-up at the position set last, kept on the screen, closed by a key; one help window: a context's
    // topic, the contents, links, Back and Forward over the history of one file.
    void viewer() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QPoint at : {QPoint(300, 200), screen.bottomRight()}) {
            QVERIFY(WinHelp(nullptr, Shipped(), HelpSetPopupPos, PackPopupPosition(at)));
            QVERIFY(WinHelp(nullptr, Shipped(), HelpContextPopup, 2400));
            QWidget* popup = popupWindow();
            QVERIFY(popup && !helpWindow() && popupContext() == 2400 && popupAnchor() == at);
            QVERIFY(screen.contains(popup->frameGeometry()) &&
                    (popup->pos() == at) == (at != screen.bottomRight()));
            QTest::keyClick(popup, Qt::Key_Escape);
            QTRY_VERIFY(!popupWindow());
        }
        auto button = [](const char* name) { return helpWindow()->findChild<QPushButton*>(name); };
        for (int context : {2300, 1700}) QVERIFY(WinHelp(nullptr, Shipped(), HelpContext, context));
        QTest::mouseClick(button("helpContents"), Qt::LeftButton);
        helpWindow()->findChild<QTextBrowser*>()->setSource(QUrl(QStringLiteral("topic:Dutching")));
        QStringList seen;
        for (const QChar step : QStringLiteral("BBBBFFF")) { // four times Back, once too many, three Forward
            QTest::mouseClick(button(step == u'B' ? "helpBack" : "helpForward"), Qt::LeftButton);
            seen << helpWindowTopic();
        }
        QCOMPARE(seen.join(u' '), "Contents OddsBoxes RoundByValue RoundByValue OddsBoxes Contents Dutching");
        QTemporaryDir dir; // another file starts a history of its own
        QVERIFY(WinHelp(nullptr, Write(dir, "a.hlp", kHead), HelpContents, 0));
        QVERIFY(!button("helpBack")->isEnabled() && !button("helpForward")->isEnabled());
    }

    // The viewer's commands and macros, taken or not, and what each shows; a changed file is read again.
    // The Help menu goes straight to the viewer, Program help with the current folder's help file if any.
    void requests() {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString other = Write(dir, "other.hlp", "[topic A]\n[topic Extra]\nTitle: Extra\n\nx\n");
        const QString main = Write(dir, "main.hlp", "[topic Contents]\nTitle: Main\n\nMain.\n");
        const QString shipped = Shipped();
        // A macro command's data is its macro (Quick help below jumps by JumpID); the others get 2700.
        const struct { QString file; unsigned command; const char* macro; QString shown; } rows[] = {
            {shipped, HelpCommandMacro, " JI( \"\" , \"contactusifneeded\" ) ",
             Topic("Contactusifneeded", shipped)},
            {main, HelpCommandMacro, "JumpID(\"other.hlp>main\",\"Extra\")", Topic("Extra", other)},
            {dir.filePath("missing.hlp"), HelpContents, "", ""},
            {shipped, HelpCommandMacro, nullptr, ""}};
        for (const auto& row : rows) {
            const QByteArray macro(row.macro);
            const quintptr data = row.command != HelpCommandMacro ? 2700 : row.macro ? MacroData(macro) : 0;
            QCOMPARE(WinHelp(nullptr, row.file, row.command, data), !row.shown.isEmpty());
            QCOMPARE(Showing(), row.shown);
        }
        Write(dir, "other.hlp", "[topic A]\n[topic Extra]\nTitle: Extra, longer\n\nxy\n");
        QVERIFY(WinHelp(nullptr, other, HelpCommandMacro, MacroData("JumpID(\"\",\"Extra\")")));
        QVERIFY(Text().startsWith("Extra, longer"));
        QStringList seen;
        ProgramHelp(nullptr);
        seen << Showing();
        const QString local = Write(dir, "fairstake.hlp", kHead);
        for (void (*item)() : {+[] { ProgramHelp(nullptr); }, &QuickHelp})
            item(), seen << Showing();
        QCOMPARE(seen, (QStringList{Topic("Contents", shipped), Topic("Contents", local),
                                    Topic("Quickhelp", shipped)}));
    }

    // The router asks the previous handler, then its viewer, with the file of the router, else of the active
    // window, else of the application, given the ".hlp" extension.
    void router() {
        QStringList log;
        setApplicationHelpHandler([&](unsigned command, quintptr, bool&) {
            log << QStringLiteral("previous %1").arg(command);
            return false;
        });
        setApplicationHelpFile(QStringLiteral("C:\\fs.v2\\a.b.txt"));
        QWidget owner;
        {
            QWidget active;
            active.setProperty("helpFile", QStringLiteral("/srv/web/browser.chm"));
            THelpRouter router(&owner);
            bool answer = true;
            router.setViewer([&](QWidget*, const QString& file, unsigned command, quintptr data) {
                log << QStringLiteral("viewer %1 %2 %3").arg(command).arg(data).arg(file);
                return answer;
            });
            QVERIFY(ApplicationHelpCommand(HelpContextPopup, 1700) && !popupWindow());
            answer = false;
            bool callHelp = true;
            QVERIFY(!router.routeHelp(HelpContext, 1200, callHelp) && !callHelp);
            active.show();
            QApplication::setActiveWindow(&active);
            QVERIFY(QTest::qWaitForWindowActive(&active));
            ApplicationHelpCommand(HelpContext, 100);
            router.setHelpFile(QStringLiteral("/opt/fs.v2/help"));
            ApplicationHelpCommand(HelpContext, 100);
        }
        ApplicationHelpCommand(HelpContext, 5); // gone: the previous handler is back
        QCOMPARE(log, (QStringList{"previous 8", "viewer 8 1700 C:\\fs.v2\\a.b.hlp", "previous 1",
                                   "viewer 1 1200 C:\\fs.v2\\a.b.hlp", "previous 1",
                                   "viewer 1 100 /srv/web/browser.hlp", "previous 1",
                                   "viewer 1 100 /opt/fs.v2/help.hlp", "previous 1"}));
    }

    // F1 (and Shift+F1, then a click) asks for the number of the first control up the chain that has one
    // (labels never take requests): a pop-up at the control, or the full topic.
    void contextHelp() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* group = new QGroupBox;
        auto* radio = new QRadioButton(group); // the calculator's buttons have no number of their own
        auto* odds = new QLineEdit;
        auto* picture = new QLabel(QStringLiteral("picture"));
        for (auto [w, n] : {std::pair<QWidget*, int>{group, 1200}, {odds, 1700}, {picture, 1600}})
            w->setProperty("helpContext", n), layout->addWidget(w);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        bool popups = true;
        ContextHelp::install(&window, [&] { return popups; });
        auto press = [](QWidget* control, Qt::KeyboardModifier modifier = Qt::NoModifier) {
            control->setFocus();
            QTest::keyClick(control, Qt::Key_F1, modifier);
            if (QWhatsThis::inWhatsThisMode()) QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, 4));
            return QWhatsThis::inWhatsThisMode() ? QStringLiteral("still asking for a click") : Showing();
        };
        QStringList seen;
        // Shift+F1 asks for a click on a control.
        const std::pair<QWidget*, Qt::KeyboardModifier> presses[] = {
            {odds, Qt::KeypadModifier}, {odds, Qt::ShiftModifier}, {picture, Qt::ShiftModifier}};
        for (auto [control, modifier] : presses) seen << press(control, modifier);
        popups = false; // full topics, from the window's help file, else the application's, bypass the router
        seen << press(radio);
        QTemporaryDir dir;
        window.setProperty("helpFile", Write(dir, "own.hlp", "[topic Odds]\nTitle: O\nContext: 1700\n\ny\n"));
        seen << press(odds);
        const QString atOdds = Popup(1700, odds->mapToGlobal(QPoint(0, 0)), Shipped());
        QCOMPARE(seen, (QStringList{atOdds, atOdds, "", Topic("Horsestoplay", Shipped()),
                                    Topic("Odds", dir.filePath("own.hlp"))}));
    }

    // A help file in the current folder is outside input that Program help shows at once: a hostile one must
    // not freeze the window (quadratic passes take minutes) nor lose text; one too big is refused.
    void untrustedHelpFiles_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("check");
        // 1 MB each: unclosed links, openings, a link per five bytes, bold runs, one table row, list items.
        const std::pair<QByteArray, int> rows[] = {{"[[a|b", AsTyped}, {"[[", AsTyped}, {"[[a]]", Letters},
                                                   {"**a", Letters}, {"| a ", Letters}, {"1. a\n", Letters}};
        for (const auto& [unit, check] : rows)
            QTest::newRow(unit.constData()) << unit.repeated(1'000'000 / unit.size()) << check;
        const qint64 room = HelpFile::kLargestFile - qint64(sizeof kHead - 1) - 1; // a comment line fills it
        QTest::newRow("the largest file") << QByteArray(room, ';') + '\n' << int(AtLimit);
        QTest::newRow("a byte more") << QByteArray(room + 1, ';') + '\n' << int(Refused);
    }
    void untrustedHelpFiles() {
        QFETCH(QByteArray, body);
        QFETCH(int, check);
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()) && !Write(dir, "fairstake.hlp", kHead + body).isEmpty());
        const QTime started = QTime::currentTime();
        ProgramHelp(nullptr);
        QCoreApplication::processEvents();
        const int took = started.msecsTo(QTime::currentTime());
        QCOMPARE(helpWindowTopic(), check == Refused ? QString() : QStringLiteral("Contents"));
        if (check >= AtLimit) return;
        QVERIFY2(took < 10000, qPrintable(QStringLiteral("%1 ms").arg(took)));
        const QString shown = Text().remove(u'\u200B'); // long runs get zero-width spaces to break at
        QVERIFY(check == AsTyped ? shown == "T\n" + QString::fromLatin1(body)
                                 : shown.startsWith(u"T\n") && shown.count(u'a') == body.count('a'));
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
