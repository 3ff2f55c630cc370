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
#include <QFile>
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

// The help context numbers the program's controls carry; 2700 is not used.
const QList<int> contextNumbers{100,  1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900,
                                2000, 2100, 2200, 2300, 2400, 2500, 2600, 2800, 2900};

struct ViewerCall {
    QString file;
    unsigned command;
    quintptr data;
};

// A small window with the shape of the calculator's controls: a radio group whose
// buttons have no number of their own, an odds box, an editable runner list, a
// labelled picture and a button without any number up its chain.
struct TestWindow {
    QWidget window;
    QGroupBox* group;
    QRadioButton* radio;
    QLineEdit* odds;
    QComboBox* runner;
    QLabel* picture;
    QPushButton* plain;

    TestWindow() {
        window.setObjectName(QStringLiteral("testWindow"));
        auto* layout = new QVBoxLayout(&window);
        group = new QGroupBox(QStringLiteral("Quantity"));
        group->setProperty("helpContext", 1200);
        radio = new QRadioButton(QStringLiteral("1 horse"), group);
        (new QVBoxLayout(group))->addWidget(radio);
        odds = new QLineEdit;
        odds->setProperty("helpContext", 1700);
        runner = new QComboBox;
        runner->setEditable(true);
        runner->setProperty("helpContext", 1600);
        picture = new QLabel(QStringLiteral("picture"));
        picture->setProperty("helpContext", 1600); // pictures never take requests themselves
        plain = new QPushButton(QStringLiteral("no help"));
        for (QWidget* w : std::initializer_list<QWidget*>{group, odds, runner, picture, plain})
            layout->addWidget(w);
        window.move(200, 150);
        window.show();
    }
};

QString Shipped() {
    return InstalledHelpFile();
}

bool WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void oddsBoxTexts_data();
    void oddsBoxTexts();
    void clearStripTexts();
    void fixedHoverTexts();
    void handlerAndTickerTexts();

    void helpFileFormat();
    void shippedHelpFileCoversEveryContext();
    void hostileHelpFilesShowQuickly_data();
    void hostileHelpFilesShowQuickly();
    void oversizedHelpFileRefused();

    void viewerFullTopicsAndNavigation();
    void viewerPopups();
    void viewerMacrosAndFailures();

    void routerChain();
    void routerFileChoice();
    void routerSecondInstanceRefused();

    void contextNumbersUpTheParentChain();
    void f1ShowsPopupThroughRouter();
    void clickModeShowsPopup();
    void fullTopicModeBypassesRouter();

    void menuProgramHelp();
    void menuTopicJumps();

private:
    QString savedCurrent_;
};

void TestHelp::init() {
    savedCurrent_ = QDir::currentPath();
    setApplicationHelpFile(Shipped());
    setApplicationHelpHandler({});
}

void TestHelp::cleanup() {
    WinHelp(nullptr, QString(), HelpQuit, 0);
    setApplicationHelpHandler({});
    QDir::setCurrent(savedCurrent_);
    if (QWhatsThis::inWhatsThisMode()) QWhatsThis::leaveWhatsThisMode();
}

void TestHelp::oddsBoxTexts_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("name");
    QTest::newRow("point") << QChar(u'.') << QStringLiteral("point");
    QTest::newRow("comma") << QChar(u',') << QStringLiteral("comma");
    QTest::newRow("arabic") << QChar(0x066B) << QStringLiteral("decimal point");
}

void TestHelp::oddsBoxTexts() {
    QFETCH(QChar, separator);
    QFETCH(QString, name);
    QCOMPARE(DecimalSeparatorName(separator), name);

    const QString middle = QStringLiteral("Can be whole values, like 4, or numbers with decimals, like 4 ") +
                           separator + QStringLiteral("5 or even 9/2");
    const QString last = QStringLiteral("Your decimal separator is the ") + name + u'.';
    const QStringList ordinals{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third"),
                               QStringLiteral("4th"),   QStringLiteral("5th"),    QStringLiteral("6th"),
                               QStringLiteral("7th"),   QStringLiteral("8th"),    QStringLiteral("9th")};
    for (int box = 1; box <= 9; ++box) {
        const QString expected = QStringLiteral("Type the odds of ") + ordinals[box - 1] +
                                 QStringLiteral(" horse in here.\r\n") + middle + QStringLiteral("\r\n") +
                                 last;
        QCOMPARE(OddsBoxText(box, separator, DecimalSeparatorName(separator)), expected);
    }
    QVERIFY(OddsBoxText(0, separator, name).isNull());
    QVERIFY(OddsBoxText(10, separator, name).isNull());

    // The character is read afresh while the name was fixed at start-up: they may differ.
    QVERIFY(OddsBoxText(2, u',', QStringLiteral("point")).contains(QStringLiteral("like 4 ,5 or even")));
    QVERIFY(OddsBoxText(2, u',', QStringLiteral("point")).endsWith(QStringLiteral("is the point.")));
}

void TestHelp::clearStripTexts() {
    const QString more = QStringLiteral("\r\nGo more to the left to clear more boxes");
    struct Range {
        int first, last;
        const char* boxes;
    };
    const Range ranges[] = {{142, 161, "Click to clear box 9"},
                            {123, 141, "Click to clear box 8 and 9"},
                            {103, 122, "Click to clear box 7, 8, 9"},
                            {85, 102, "Click to clear box 6, 7, 8, 9"},
                            {67, 84, "Click to clear box 5, 6, 7, 8, 9"},
                            {50, 66, "Click to clear box 4, 5, 6, 7, 8, 9"},
                            {32, 49, "Click to clear box 3, 4, 5, 6, 7, 8, 9"},
                            {17, 31, "Click to clear box 2, 3, 4, 5, 6, 7, 8, 9"}};
    for (const Range& range : ranges) {
        const QString expected = QStringLiteral("\r\n") + QLatin1StringView(range.boxes) + more;
        for (int x : {range.first, range.last}) {
            QVERIFY2(ClearStripText(x).has_value(), qPrintable(QString::number(x)));
            QCOMPARE(*ClearStripText(x), expected);
        }
    }
    QCOMPARE(*ClearStripText(500), QStringLiteral("\r\nClick to clear box 9") + more);
    for (int x : {2, 9, 16})
        QCOMPARE(*ClearStripText(x), QStringLiteral("\r\n\r\nClick to clear all the boxes"));
    for (int x : {1, 0, -3})
        QVERIFY(!ClearStripText(x).has_value());
}

void TestHelp::fixedHoverTexts() {
    const QStringList withText{QStringLiteral("imgprofits"),    QStringLiteral("Image1"),
                               QStringLiteral("Command1"),      QStringLiteral("btnExample"),
                               QStringLiteral("txtArrondir"),   QStringLiteral("btnRounditup"),
                               QStringLiteral("chkNomore"),     QStringLiteral("lblTotal_ex_Label19"),
                               QStringLiteral("cmdRafraichir"), QStringLiteral("Cmdrafraichirbid"),
                               QStringLiteral("imageradio"),    QStringLiteral("txtTenths"),
                               QStringLiteral("Image3"),        QStringLiteral("imggauche"),
                               QStringLiteral("imgDroite"),     QStringLiteral("imgracetracks"),
                               QStringLiteral("imgBig")};
    for (const QString& name : withText)
        QVERIFY2(!HoverText(name).isEmpty(), qPrintable(name));

    // Controls that share a text share it exactly.
    QCOMPARE(HoverText(u"btnRounditup"), HoverText(u"txtArrondir"));
    QCOMPARE(HoverText(u"Image3"), ThresholdText());

    // Edit1 clears the balloon: an empty text, which is not "no hover help".
    QVERIFY(!HoverText(u"Edit1").isNull());
    QVERIFY(HoverText(u"Edit1").isEmpty());

    QVERIFY(HoverText(u"imgBig").size() <= 160);
    for (const char* name : {"txtCote1", "imgBlanc", "Label20", "comboStarters", "", "imgbig"})
        QVERIFY2(HoverText(QString::fromLatin1(name)).isNull(), name);
}

void TestHelp::handlerAndTickerTexts() {
    // Line breaks are the help file's own, and the ticker holds none (it
    // would show them as blanks) but ends in the five blanks of its gap.
    QCOMPARE(LineBreak(), QStringLiteral("\r\n"));
    QCOMPARE(RoundUpText().split(LineBreak()).size(), 2);
    QCOMPARE(RoundByValueText().split(LineBreak()).size(), 2);
    QVERIFY(!RoundDownText().contains(LineBreak()));
    QVERIFY(!LossRecoveryText().contains(LineBreak()));
    const QString ticker = TickerText();
    QVERIFY(ticker.endsWith(QStringLiteral("!     ")));
    QVERIFY(!ticker.contains(QRegularExpression(QStringLiteral("[\\x00-\\x1f]"))));
}

void TestHelp::helpFileFormat() {
    const HelpFile file =
        HelpFile::Parse(u"; comment\n"
                        "[topic First]\n"
                        "Title: The first\n"
                        "\n"
                        "Intro with **bold** and a [[second]] link and [[Second|another one]].\n"
                        "It goes on here.\n"
                        "\n"
                        "== Part\n"
                        "- one\n"
                        "  continued\n"
                        "- two\n"
                        "1. step\n"
                        "| A | B\n"
                        "| 1 | 2\n"
                        "\n"
                        "[topic Contents]\n"
                        "Title: All topics\n"
                        "Context: 10, 20\n"
                        "Go to [[First]].\n"
                        "[popup 10]\n"
                        "Short & plain.\n"
                        "\r\n"
                        "[topic Second]\n"
                        "Title: Second\n"
                        "\n"
                        "Body.\n");
    QVERIFY2(file.problems().isEmpty(), qPrintable(file.problems().join(u'\n')));
    QCOMPARE(file.topics().size(), 3);
    QCOMPARE(file.contents()->id, QStringLiteral("Contents"));
    QCOMPARE(file.topicByContext(20)->title, QStringLiteral("All topics"));
    QCOMPARE(file.topicById(u"SECOND")->id, QStringLiteral("Second"));
    QVERIFY(!file.topicById(u"Third"));
    QVERIFY(!file.topicByContext(30));
    QCOMPARE(file.popupContexts(), QList<int>{10});
    QVERIFY(!file.popup(20));

    const QString html = file.topicHtml(*file.topicById(u"first"));
    QVERIFY(html.startsWith(QStringLiteral("<h2>The first</h2>")));
    QVERIFY(html.contains(
        QStringLiteral("<p>Intro with <b>bold</b> and a <a href=\"topic:second\">Second</a> link "
                       "and <a href=\"topic:Second\">another one</a>. It goes on here.</p>")));
    QVERIFY(html.contains(QStringLiteral("<h3>Part</h3><ul><li>one continued</li><li>two</li></ul>"
                                         "<ol><li>step</li></ol>")));
    QVERIFY(
        html.contains(QStringLiteral("<tr><th>A</th><th>B</th></tr><tr><td>1</td><td>2</td></tr></table>")));
    QCOMPARE(file.popupHtml(10), QStringLiteral("<p>Short &amp; plain.</p>"));

    // Without a topic called Contents the first topic is the contents page.
    const HelpFile noContents = HelpFile::Parse(u"[topic A]\nTitle: A\n\nx\n[topic B]\nTitle: B\n\ny\n");
    QCOMPARE(noContents.contents()->id, QStringLiteral("A"));

    const HelpFile broken = HelpFile::Parse(u"stray text\n"
                                            "[topic A]\nTitle: A\nContext: 5, x\n\nSee [[Missing]].\n"
                                            "[topic a]\nContext: 5\n\nNo title.\n"
                                            "[popup 7]\nSee [[A]].\n"
                                            "[popup zero]\ntext\n"
                                            "[popup 8]\n\n");
    const QString problems = broken.problems().join(u'\n');
    for (const char* expected :
         {"line 1: text outside a topic", "bad context number", "missing topic Missing",
          "second topic with the ID a", "context 5 on two topics", "topic a has no title",
          "pop-up 7: a link in a pop-up", "pop-up without a context number", "pop-up 8 is empty"})
        QVERIFY2(problems.contains(QLatin1StringView(expected)), expected);
}

void TestHelp::shippedHelpFileCoversEveryContext() {
    const std::shared_ptr<const HelpFile> file = HelpFile::Load(Shipped());
    QVERIFY2(file, qPrintable(Shipped()));
    QVERIFY2(file->problems().isEmpty(), qPrintable(file->problems().join(u'\n')));

    QVERIFY(file->topicById(u"Quickhelp"));
    QVERIFY(file->topicById(u"Contactusifneeded"));
    QVERIFY(file->topicById(u"Contactusifneeded")->body.contains(QStringLiteral("@fairstake.example")));
    QCOMPARE(file->contents()->id, QStringLiteral("Contents"));

    for (int context : contextNumbers) {
        QVERIFY2(file->topicByContext(context), qPrintable(QString::number(context)));
        QVERIFY2(file->popup(context), qPrintable(QString::number(context)));
        QVERIFY(!file->popupHtml(context).isEmpty());
    }
    QVERIFY(!file->topicByContext(2700));
    QVERIFY(!file->popup(2700));
    QCOMPARE(file->popupContexts(), contextNumbers);

    // Every topic can be reached from the contents page by following links.
    static const QRegularExpression link(QStringLiteral(R"(\[\[([^\]|]+))"));
    std::set<QString> reached{file->contents()->id.toLower()};
    QList<const HelpTopic*> todo{file->contents()};
    while (!todo.isEmpty()) {
        const HelpTopic* topic = todo.takeLast();
        for (const QRegularExpressionMatch& m : link.globalMatch(topic->body)) {
            const HelpTopic* target = file->topicById(m.captured(1).trimmed());
            if (target && reached.insert(target->id.toLower()).second) todo.append(target);
        }
    }
    for (const HelpTopic& topic : file->topics())
        QVERIFY2(reached.count(topic.id.toLower()), qPrintable(topic.id));
}

// A help file dropped in the current folder is outside input: Program help reads and
// shows it at once, so a hostile one must neither freeze the window nor lose text.
void TestHelp::hostileHelpFilesShowQuickly_data() {
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("shownAsTyped"); // one line of plain text, else only its letters are checked
    QTest::newRow("unclosed links, 300 KB") << QByteArray("[[a|b") << 300'000 << true;
    QTest::newRow("unclosed links, 1 MB") << QByteArray("[[a|b") << 1'000'000 << true;
    QTest::newRow("openings, 1 MB") << QByteArray("[[") << 1'000'000 << true;
    QTest::newRow("a link per five bytes, 1 MB") << QByteArray("[[a]]") << 1'000'000 << false;
    QTest::newRow("bold runs, 1 MB") << QByteArray("**a") << 1'000'000 << false;
    QTest::newRow("one table row, 1 MB") << QByteArray("| a ") << 1'000'000 << false;
    QTest::newRow("list items, 1 MB") << QByteArray("1. a\n") << 1'000'000 << false;
}

void TestHelp::hostileHelpFilesShowQuickly() {
    QFETCH(QByteArray, unit);
    QFETCH(int, size);
    QFETCH(bool, shownAsTyped);
    QTemporaryDir dir;
    QVERIFY(dir.isValid() && QDir::setCurrent(dir.path()));
    const QByteArray body = unit.repeated(size / unit.size());
    QVERIFY(WriteFile(QStringLiteral("fairstake.hlp"), "[topic Contents]\nTitle: T\n\n" + body));

    QWidget window;
    QElapsedTimer clock;
    clock.start();
    ProgramHelp(&window);
    QCoreApplication::processEvents();
    const qint64 took = clock.elapsed();
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));
    QVERIFY2(took < 2000, qPrintable(QStringLiteral("%1 ms").arg(took)));

    // Long runs get zero-width spaces to break at, which show nothing.
    QString shown = helpWindow()->findChild<QTextBrowser*>()->toPlainText().remove(QChar(0x200B));
    QVERIFY(shown.startsWith(QStringLiteral("T\n")));
    if (shownAsTyped)
        QCOMPARE(shown.sliced(2), QString::fromLatin1(body));
    else
        QCOMPARE(shown.count(u'a'), body.count('a'));
}

void TestHelp::oversizedHelpFileRefused() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid() && QDir::setCurrent(dir.path()));
    const QByteArray head = "[topic Contents]\nTitle: Big\n\nx\n";
    QByteArray text = head + QByteArray(HelpFile::kLargestFile - head.size() - 1, ';') + '\n';
    QWidget window;
    for (const bool oneByteMore : {false, true}) {
        if (oneByteMore) text += ';';
        QVERIFY(WriteFile(QStringLiteral("fairstake.hlp"), text));
        QCOMPARE(bool(HelpFile::Load(QStringLiteral("fairstake.hlp"))), !oneByteMore);
        ProgramHelp(&window);
        QCOMPARE(bool(helpWindow() && helpWindow()->isVisible()), !oneByteMore);
        WinHelp(nullptr, QString(), HelpQuit, 0);
    }
}

void TestHelp::viewerFullTopicsAndNavigation() {
    QVERIFY(WinHelp(nullptr, Shipped(), HelpContext, 2300));
    QWidget* window = helpWindow();
    QVERIFY(window && window->isVisible());
    QCOMPARE(helpWindowTopic(), QStringLiteral("RoundByValue"));
    QCOMPARE(helpWindowFile(), QFileInfo(Shipped()).absoluteFilePath());
    QCOMPARE(window->windowTitle(), QStringLiteral("Fairstake help"));

    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    auto* back = window->findChild<QPushButton*>(QStringLiteral("helpBack"));
    auto* forward = window->findChild<QPushButton*>(QStringLiteral("helpForward"));
    auto* contents = window->findChild<QPushButton*>(QStringLiteral("helpContents"));
    QVERIFY(browser && back && forward && contents);
    QVERIFY(browser->toPlainText().startsWith(QStringLiteral("Rounding by value")));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("with unit 5 and threshold 0.5")));
    QVERIFY(!back->isEnabled());

    // The same window serves the next request.
    QVERIFY(WinHelp(nullptr, Shipped(), HelpContext, 1700));
    QCOMPARE(helpWindow(), window);
    QCOMPARE(helpWindowTopic(), QStringLiteral("OddsBoxes"));
    QVERIFY(back->isEnabled());

    QTest::mouseClick(contents, Qt::LeftButton);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("What dutching is")));

    // A link of the contents page, followed as a click on it would.
    const QString html = browser->toHtml();
    QVERIFY(html.contains(QStringLiteral("href=\"topic:Dutching\"")));
    browser->setSource(QUrl(QStringLiteral("topic:Dutching")));
    QCOMPARE(helpWindowTopic(), QStringLiteral("Dutching"));
    QVERIFY(browser->toPlainText().startsWith(QStringLiteral("What dutching is")));

    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(helpWindowTopic(), QStringLiteral("OddsBoxes"));
    QVERIFY(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));

    QVERIFY(WinHelp(nullptr, Shipped(), HelpFinder, 0));
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));

    QVERIFY(WinHelp(nullptr, Shipped(), HelpQuit, 0));
    QVERIFY(!helpWindow());
    QVERIFY(helpWindowTopic().isEmpty());
}

void TestHelp::viewerPopups() {
    QCOMPARE(UnpackPopupPosition(PackPopupPosition(QPoint(300, 200))), QPoint(300, 200));
    QCOMPARE(UnpackPopupPosition(PackPopupPosition(QPoint(-40, 1030))), QPoint(-40, 1030));
    QCOMPARE(PackPopupPosition(QPoint(1, 2)), quintptr(0x00020001));

    QVERIFY(WinHelp(nullptr, Shipped(), HelpSetPopupPos, PackPopupPosition(QPoint(300, 200))));
    QVERIFY(WinHelp(nullptr, Shipped(), HelpContextPopup, 2400));
    QWidget* popup = popupWindow();
    QVERIFY(popup);
    QCOMPARE(popupContext(), 2400);
    QCOMPARE(popup->pos(), QPoint(300, 200));
    QVERIFY(!(popup->windowFlags() & Qt::WindowTitleHint) ||
            (popup->windowFlags() & Qt::FramelessWindowHint));
    auto* text = popup->findChild<QLabel*>(QStringLiteral("helpPopupText"));
    QVERIFY(text && text->text().contains(QStringLiteral("Threshold")));
    QVERIFY(!helpWindow()); // a pop-up does not open the help window

    QTest::keyClick(popup, Qt::Key_Escape);
    QTRY_VERIFY(!popupWindow());
    QCOMPARE(popupContext(), 0);

    // Near the bottom right corner the pop-up is kept on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(WinHelp(nullptr, Shipped(), HelpSetPopupPos, PackPopupPosition(screen.bottomRight())));
    QVERIFY(WinHelp(nullptr, Shipped(), HelpContextPopup, 1600));
    popup = popupWindow();
    QVERIFY(popup);
    QCOMPARE(popupAnchor(), screen.bottomRight());
    QVERIFY2(screen.contains(popup->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                     .arg(popup->x())
                                                                     .arg(popup->y())
                                                                     .arg(popup->width())
                                                                     .arg(popup->height())));
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!popupWindow());

    // A context number without a pop-up shows nothing.
    QVERIFY(!WinHelp(nullptr, Shipped(), HelpContextPopup, 2700));
    QVERIFY(!popupWindow());
}

void TestHelp::viewerMacrosAndFailures() {
    const QByteArray jump = QByteArrayLiteral("JumpID(\"\",\"Quickhelp\")");
    QVERIFY(WinHelp(nullptr, Shipped(), HelpCommandMacro, MacroData(jump)));
    QCOMPARE(helpWindowTopic(), QStringLiteral("Quickhelp"));
    QVERIFY(WinHelp(nullptr, Shipped(), HelpCommandMacro,
                    MacroData(QByteArrayLiteral(" JI( \"\" , \"contactusifneeded\" ) "))));
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contactusifneeded"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString other = dir.filePath(QStringLiteral("other.hlp"));
    QVERIFY(WriteFile(other,
                      "[topic Contents]\nTitle: Other help\n\nOther.\n[topic Extra]\nTitle: Extra\n\nx\n"));
    const QString sibling = dir.filePath(QStringLiteral("main.hlp"));
    QVERIFY(WriteFile(sibling, "[topic Contents]\nTitle: Main\n\nMain.\n"));
    QVERIFY(WinHelp(nullptr, sibling, HelpCommandMacro,
                    MacroData(QByteArrayLiteral("JumpID(\"other.hlp>main\",\"Extra\")"))));
    QCOMPARE(helpWindowTopic(), QStringLiteral("Extra"));
    QCOMPARE(helpWindowFile(), QFileInfo(other).absoluteFilePath());
    QCOMPARE(helpWindow()->windowTitle(), QStringLiteral("Other help"));

    // A file that changes on disk is read again.
    QVERIFY(WriteFile(
        other, "[topic Contents]\nTitle: Other help\n\nOther.\n[topic Extra]\nTitle: Extra, longer\n\nxy\n"));
    QVERIFY(WinHelp(nullptr, other, HelpContents, 0));
    QVERIFY(
        WinHelp(nullptr, other, HelpCommandMacro, MacroData(QByteArrayLiteral("JumpID(\"\",\"Extra\")"))));
    QVERIFY(
        helpWindow()->findChild<QTextBrowser*>()->toPlainText().startsWith(QStringLiteral("Extra, longer")));

    WinHelp(nullptr, QString(), HelpQuit, 0);
    const QString missing = dir.filePath(QStringLiteral("missing.hlp"));
    QVERIFY(!WinHelp(nullptr, missing, HelpContents, 0));
    QVERIFY(!WinHelp(nullptr, missing, HelpContext, 1700));
    QVERIFY(!WinHelp(nullptr, Shipped(), HelpContext, 2700));
    QVERIFY(!WinHelp(nullptr, Shipped(), HelpCommandMacro,
                     MacroData(QByteArrayLiteral("JumpID(\"\",\"NoSuchTopic\")"))));
    QVERIFY(!WinHelp(nullptr, Shipped(), HelpCommandMacro, MacroData(QByteArrayLiteral("ExecFile(\"x\")"))));
    QVERIFY(!WinHelp(nullptr, Shipped(), HelpCommandMacro, 0));
    QVERIFY(!WinHelp(nullptr, Shipped(), 0x101, 0));
    QVERIFY(!helpWindow());
    QVERIFY(!popupWindow());
}

void TestHelp::routerChain() {
    QStringList log;
    bool previousClears = false;
    setApplicationHelpHandler([&](unsigned command, quintptr, bool& callHelp) {
        log << QStringLiteral("previous %1").arg(command);
        if (previousClears) callHelp = false;
        return previousClears;
    });
    const HelpHandler previous = applicationHelpHandler();

    QWidget owner;
    {
        THelpRouter router(&owner);
        QList<ViewerCall> calls;
        bool viewerAnswer = true;
        router.setViewer([&](QWidget*, const QString& file, unsigned command, quintptr data) {
            calls << ViewerCall{file, command, data};
            log << QStringLiteral("viewer %1").arg(command);
            return viewerAnswer;
        });

        // Previous handler, then the viewer; the built-in help is not called after it.
        QVERIFY(ApplicationHelpCommand(HelpContextPopup, 1700));
        QCOMPARE(log, QStringList({QStringLiteral("previous 8"), QStringLiteral("viewer 8")}));
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].file, Shipped());
        QCOMPARE(calls[0].data, quintptr(1700));
        QVERIFY(!popupWindow());

        viewerAnswer = false;
        bool callHelp = true;
        QVERIFY(!router.routeHelp(HelpContext, 1200, callHelp));
        QVERIFY(!callHelp);

        // Command 0 reports help as shown without the viewer.
        log.clear();
        callHelp = true;
        QVERIFY(router.routeHelp(0, 0, callHelp));
        QCOMPARE(log, QStringList{QStringLiteral("previous 0")});
        QVERIFY(!callHelp);

        // The router's own event runs while help is still to be called, and may stop it.
        int ownEvents = 0;
        router.setOnHelp([&](unsigned, quintptr, bool& call) {
            ++ownEvents;
            call = false;
            return true;
        });
        log.clear();
        QVERIFY(ApplicationHelpCommand(HelpContext, 1200));
        QCOMPARE(ownEvents, 1);
        QCOMPARE(log, QStringList{QStringLiteral("previous 1")});

        // A previous handler that serves the request itself leaves nothing to the rest.
        previousClears = true;
        log.clear();
        QVERIFY(ApplicationHelpCommand(HelpContext, 1200));
        QCOMPARE(ownEvents, 1);
        QCOMPARE(log, QStringList{QStringLiteral("previous 1")});
        previousClears = false;
    }

    // Destroyed: the previous handler is back.
    log.clear();
    bool callHelp = true;
    applicationHelpHandler()(HelpContext, 5, callHelp);
    QCOMPARE(log, QStringList{QStringLiteral("previous 1")});

    // Without a previous handler the router is the whole chain, and the real viewer shows the topic.
    setApplicationHelpHandler({});
    {
        THelpRouter router(&owner);
        QVERIFY(ApplicationHelpCommand(HelpContext, 2600));
        QCOMPARE(helpWindowTopic(), QStringLiteral("RoundingUnit"));
    }
    QVERIFY(!applicationHelpHandler());
    Q_UNUSED(previous);
}

void TestHelp::routerFileChoice() {
    QCOMPARE(WithHelpExtension(QStringLiteral("/opt/fs/help.chm")), QStringLiteral("/opt/fs/help.hlp"));
    QCOMPARE(WithHelpExtension(QStringLiteral("/opt/fs.v2/help")), QStringLiteral("/opt/fs.v2/help.hlp"));
    QCOMPARE(WithHelpExtension(QStringLiteral("C:\\fs.v2\\a.b.txt")), QStringLiteral("C:\\fs.v2\\a.b.hlp"));
    QCOMPARE(WithHelpExtension(QStringLiteral("fairstake.hlp")), QStringLiteral("fairstake.hlp"));

    QWidget owner;
    THelpRouter router(&owner);
    QList<ViewerCall> calls;
    QList<QWidget*> windows;
    router.setViewer([&](QWidget* window, const QString& file, unsigned command, quintptr data) {
        calls << ViewerCall{file, command, data};
        windows << window;
        return true;
    });

    setApplicationHelpFile(QStringLiteral("/srv/app/fairstake.txt"));
    QVERIFY(ApplicationHelpCommand(HelpContents, 0));
    QCOMPARE(calls.last().file, QStringLiteral("/srv/app/fairstake.hlp"));
    QCOMPARE(calls.last().command, unsigned(HelpContents));

    // The active window's own help file comes before the application's.
    QWidget active;
    active.setProperty("helpFile", QStringLiteral("/srv/web/browser.chm"));
    active.show();
    QApplication::setActiveWindow(&active);
    QVERIFY(QTest::qWaitForWindowActive(&active));
    QVERIFY(ApplicationHelpCommand(HelpContext, 100));
    QCOMPARE(calls.last().file, QStringLiteral("/srv/web/browser.hlp"));
    QCOMPARE(windows.last(), &active);

    // The router's own file comes first of all.
    router.setHelpFile(QStringLiteral("/srv/own/router"));
    QVERIFY(ApplicationHelpCommand(HelpContext, 100));
    QCOMPARE(calls.last().file, QStringLiteral("/srv/own/router.hlp"));
    router.setHelpFile({});

    // No active window: the owner's window stands in.
    active.hide();
    QApplication::setActiveWindow(nullptr);
    QTRY_VERIFY(!QApplication::activeWindow());
    QVERIFY(ApplicationHelpCommand(HelpContext, 100));
    QCOMPARE(calls.last().file, QStringLiteral("/srv/app/fairstake.hlp"));
    QCOMPARE(windows.last(), &owner);
}

void TestHelp::routerSecondInstanceRefused() {
    QWidget owner;
    auto* first = new THelpRouter(&owner);
    int viewerCalls = 0;
    first->setViewer([&](QWidget*, const QString&, unsigned, quintptr) { return ++viewerCalls > 0; });
    try {
        THelpRouter second(&owner);
        QFAIL("a second router was created");
    } catch (const RouterError& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("Multiple instances of THelpRouter are not allowed"));
    }
    QCOMPARE(owner.findChildren<THelpRouter*>().size(), 1);
    // The first router is still the handler.
    QVERIFY(ApplicationHelpCommand(HelpContext, 1700));
    QCOMPARE(viewerCalls, 1);

    // Once the first is gone (with its window), a new one may be made.
    delete first;
    THelpRouter again(&owner);
    QVERIFY(applicationHelpHandler());
}

void TestHelp::contextNumbersUpTheParentChain() {
    TestWindow w;
    QCOMPARE(ContextHelp::HelpContextOf(w.radio), 1200);
    QCOMPARE(ContextHelp::HelpControlFor(w.radio), w.group);
    QCOMPARE(ContextHelp::HelpContextOf(w.odds), 1700);
    QCOMPARE(ContextHelp::HelpContextOf(w.runner->lineEdit()), 1600);
    QCOMPARE(ContextHelp::HelpControlFor(w.runner->lineEdit()), w.runner);
    QCOMPARE(ContextHelp::HelpContextOf(w.picture), 0);
    QCOMPARE(ContextHelp::HelpContextOf(w.plain), 0);
    QCOMPARE(ContextHelp::HelpContextOf(&w.window), 0);

    // Nothing up the chain: a request shows nothing and the router is not asked.
    QWidget owner;
    THelpRouter router(&owner);
    int routed = 0;
    router.setOnHelp([&](unsigned, quintptr, bool&) { return ++routed > 0; });
    ContextHelp* help = ContextHelp::install(&w.window, [] { return true; });
    QCOMPARE(help->parent(), &w.window);
    QVERIFY(!help->requestHelp(w.plain));
    QVERIFY(!help->requestHelp(w.picture));
    w.plain->setFocus();
    QTest::keyClick(w.plain, Qt::Key_F1);
    QCOMPARE(routed, 0);
    QVERIFY(!popupWindow());
    QVERIFY(!helpWindow());
}

void TestHelp::f1ShowsPopupThroughRouter() {
    TestWindow w;
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget owner;
    THelpRouter router(&owner);
    QList<unsigned> routed;
    router.setOnHelp([&](unsigned command, quintptr, bool&) {
        routed << command;
        return false;
    });
    ContextHelp::install(&w.window, [] { return true; });

    // F1 on the radio button of the group: the group's pop-up, at the group's corner.
    w.radio->setFocus();
    QTest::keyClick(w.radio, Qt::Key_F1);
    QCOMPARE(routed, QList<unsigned>({HelpSetPopupPos, HelpContextPopup}));
    QCOMPARE(popupContext(), 1200);
    QCOMPARE(popupAnchor(), w.group->mapToGlobal(QPoint(0, 0)));
    QCOMPARE(popupFile(), QFileInfo(Shipped()).absoluteFilePath());
    QVERIFY(!helpWindow());
    QTest::keyClick(popupWindow(), Qt::Key_Space);
    QTRY_VERIFY(!popupWindow());

    // The focus inside the editable runner list: the list's number.
    w.runner->setFocus();
    QTest::keyClick(w.runner->lineEdit(), Qt::Key_F1);
    QCOMPARE(popupContext(), 1600);
    QCOMPARE(popupAnchor(), w.runner->mapToGlobal(QPoint(0, 0)));
    QTest::keyClick(popupWindow(), Qt::Key_Escape);
    QTRY_VERIFY(!popupWindow());

    // F1 with Ctrl is not a help request; the F1 of another window is not ours.
    w.odds->setFocus();
    QTest::keyClick(w.odds, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(!popupWindow());
    QWidget other;
    other.setProperty("helpContext", 1700);
    other.show();
    QTest::keyClick(&other, Qt::Key_F1);
    QVERIFY(!popupWindow());
    QTest::keyClick(w.odds, Qt::Key_F1);
    QCOMPARE(popupContext(), 1700);
}

void TestHelp::clickModeShowsPopup() {
    TestWindow w;
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget owner;
    THelpRouter router(&owner);
    ContextHelp::install(&w.window, [] { return true; });

    w.plain->setFocus();
    QTest::keyClick(w.plain, Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QVERIFY(!popupWindow());
    QTest::mouseClick(w.odds, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QCOMPARE(popupContext(), 1700);
    QCOMPARE(popupAnchor(), w.odds->mapToGlobal(QPoint(0, 0)));
    QCOMPARE(w.odds->text(), QString()); // the click did not reach the box
    QTest::keyClick(popupWindow(), Qt::Key_Escape);
    QTRY_VERIFY(!popupWindow());

    // A click on a control without a number ends the mode and shows nothing.
    QWhatsThis::enterWhatsThisMode();
    QTest::mouseClick(w.plain, Qt::LeftButton);
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    QVERIFY(!popupWindow());
}

void TestHelp::fullTopicModeBypassesRouter() {
    TestWindow w;
    QWidget owner;
    THelpRouter router(&owner);
    int routed = 0;
    router.setOnHelp([&](unsigned, quintptr, bool&) { return ++routed > 0; });
    bool popups = true;
    ContextHelp::install(&w.window, [&] { return popups; });

    popups = false; // the minimize picture has replaced the context-help button
    w.odds->setFocus();
    QTest::keyClick(w.odds, Qt::Key_F1);
    QCOMPARE(routed, 0);
    QVERIFY(!popupWindow());
    QCOMPARE(helpWindowTopic(), QStringLiteral("OddsBoxes"));
    QTest::keyClick(w.radio, Qt::Key_F1);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Horsestoplay"));

    // The window's own help file, where it has one.
    QTemporaryDir dir;
    const QString own = dir.filePath(QStringLiteral("own.hlp"));
    QVERIFY(WriteFile(
        own, "[topic Contents]\nTitle: Own\n\nx\n[topic Odds]\nTitle: Own odds\nContext: 1700\n\ny\n"));
    w.window.setProperty("helpFile", own);
    QTest::keyClick(w.odds, Qt::Key_F1);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Odds"));
    QCOMPARE(helpWindowFile(), QFileInfo(own).absoluteFilePath());
    QCOMPARE(routed, 0);

    popups = true;
    w.window.setProperty("helpFile", QVariant());
    QTest::keyClick(w.odds, Qt::Key_F1);
    QCOMPARE(routed, 2);
    QCOMPARE(popupContext(), 1700);
}

void TestHelp::menuProgramHelp() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QWidget window;

    // No help file in the current folder: the one beside the program.
    QVERIFY(QDir::setCurrent(dir.path()));
    ProgramHelp(&window);
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contents"));
    QCOMPARE(helpWindowFile(), QFileInfo(Shipped()).absoluteFilePath());
    WinHelp(nullptr, QString(), HelpQuit, 0);

    // A help file in the current folder is the one opened.
    const QString local = dir.filePath(QStringLiteral("fairstake.hlp"));
    QVERIFY(WriteFile(local, "[topic Contents]\nTitle: Local help\n\nThe local file.\n"));
    ProgramHelp(&window);
    QCOMPARE(helpWindowFile(), QFileInfo(local).absoluteFilePath());
    QCOMPARE(helpWindow()->windowTitle(), QStringLiteral("Local help"));
    WinHelp(nullptr, QString(), HelpQuit, 0);

    // Neither: nothing happens.
    QVERIFY(QFile::remove(local));
    setApplicationHelpFile(dir.filePath(QStringLiteral("missing/fairstake.hlp")));
    ProgramHelp(&window);
    QVERIFY(!helpWindow());

    // The shell's "open" of a missing file does nothing either.
    ShellOpen(&window, QStringLiteral("nothing-here.hlp"));
    QVERIFY(!helpWindow());
}

void TestHelp::menuTopicJumps() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));

    QuickHelp();
    QCOMPARE(helpWindowTopic(), QStringLiteral("Quickhelp"));
    ContactUs();
    QCOMPARE(helpWindowTopic(), QStringLiteral("Contactusifneeded"));
    QCOMPARE(helpWindowFile(), QFileInfo(Shipped()).absoluteFilePath());
    WinHelp(nullptr, QString(), HelpQuit, 0);

    // The jumps use the application help file, whatever lies in the current folder,
    // and do not go through the router.
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("fairstake.hlp")),
                      "[topic Contents]\nTitle: Local\n\nx\n[topic Quickhelp]\nTitle: Local quick\n\ny\n"));
    QWidget owner;
    THelpRouter router(&owner);
    int routed = 0;
    router.setOnHelp([&](unsigned, quintptr, bool&) { return ++routed > 0; });
    QuickHelp();
    QCOMPARE(helpWindowFile(), QFileInfo(Shipped()).absoluteFilePath());
    QCOMPARE(routed, 0);
    WinHelp(nullptr, QString(), HelpQuit, 0);

    setApplicationHelpFile(dir.filePath(QStringLiteral("missing.hlp")));
    QuickHelp();
    ContactUs();
    QVERIFY(!helpWindow());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
