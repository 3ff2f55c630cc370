// The race sheet beside the real calculator window, driven through the calculator's controls and menu keys,
// with the decimal point and the decimal comma, each in its C library locale.

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "engine/numtext.h"
#include "help/helpviewer.h"
#include "sheet/frmsheet.h"
#include "support/processlocale.h"

#include <QStandardItemModel>
#include <QtTest>
#include <QtWidgets>
#include <memory>

using namespace fairstake;

namespace {

const QString kHeadings = QStringLiteral("Box\tRunner\tOdds\tDecimal\tChance\tStake\tReturns\tProfit\n");

struct Calculator {
    explicit Calculator(QChar separator) : locale(separator.unicode()), w(separator), sep(separator) {
        w.show();
        w.activateWindow();
        active = QTest::qWaitForWindowActive(&w);
    }
    test::ProcessLocale locale;
    TfrmJeuGagnant w;
    QChar sep;
    bool active = false;

    TfrmSheet* sheet() const { return w.sheet(); }
    // A text written with '.' between digits, in the window's separator.
    QString L(QString text) const {
        static const QRegularExpression point(QStringLiteral("(?<=\\d)\\.(?=\\d)"));
        return text.replace(point, QString(sep));
    }
    // The rows of the sheet, cells separated by '|', rows by '/' (or as given).
    QString rows(QChar cell = u'|', QChar row = u'/') const {
        QStringList rows;
        const QTableWidget* grid = sheet()->gridSheet;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c)
                cells << grid->item(r, c)->text();
            rows << cells.join(cell);
        }
        return rows.join(row);
    }
    QStringList lineList() const {
        return {sheet()->lblBook->text(), sheet()->lblStaked->text(), sheet()->lblProfitRange->text(),
                sheet()->lblOutside->text(), sheet()->lblSpread->text()};
    }
    QString lines() const { return lineList().join(u'/'); }
    // What a copy must give for the sheet as shown: the headings, the rows, the lines that are not empty.
    QString copied() const {
        QStringList headings;
        for (int c = 0; c < sheet()->gridSheet->columnCount(); ++c)
            headings << sheet()->gridSheet->horizontalHeaderItem(c)->text();
        QString text = headings.join(u'\t') + u'\n' + rows(u'\t', u'\n') + u'\n';
        for (const QString& line : lineList())
            if (!line.isEmpty()) text += line + u'\n';
        if (sheet()->txtCommission->text() != u"0")
            text += QStringLiteral("Commission on winnings: %1 %\n").arg(sheet()->txtCommission->text());
        return text;
    }
    // The Stake column against the calculator's amounts in two decimals ("???" shows as empty): the sheet
    // kept up with it.
    QString stakesDiffer() const {
        for (int r = 0; r < sheet()->gridSheet->rowCount(); ++r) {
            const auto amount = ParseNumber(w.Label2_[std::size_t(r)]->text().toStdString(), sep.unicode());
            const QString two = amount ? QString::fromStdString(FormatFixed2(*amount, sep.unicode())) : QString();
            if (sheet()->gridSheet->item(r, 5)->text() != two) return QStringLiteral("row %1").arg(r);
        }
        return {};
    }
    void key(int key, Qt::KeyboardModifiers modifiers) { QTest::keyClick(&w, Qt::Key(key), modifiers); }
    void type(int box, const QString& keys) {
        QLineEdit* edit = w.txtCote[std::size_t(box - 1)];
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, keys);
    }
};

QString clipboard() {
    return QGuiApplication::clipboard()->text();
}

} // namespace

class TestSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void follows_data() {
        QTest::addColumn<QChar>("sep");
        QTest::newRow("point") << QChar(u'.');
        QTest::newRow("comma") << QChar(u',');
    }

    // Opened with Ctrl+R beside the calculator, the sheet shows what the calculator shows after every chain:
    // an example, typing, the rounding, the display mode, a runner picked; hidden, it computes nothing.
    void follows() {
        QFETCH(QChar, sep);
        Calculator c(sep);
        QVERIFY(c.active);
        // Copied before the sheet was ever opened: the race as it stands, without opening it.
        c.key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!c.sheet());
        QCOMPARE(clipboard(), kHeadings + "1\t\t\t\t\t\t\t\nType the odds of the runners you play.\n");

        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.key(Qt::Key_R, Qt::ControlModifier);
        QVERIFY(c.sheet() && c.sheet()->isVisible());
        QCOMPARE(c.sheet()->windowTitle(), QStringLiteral("Race sheet"));
        QCOMPARE(c.rows(), c.L("1||2|3.00|33.3 %|20.00|60.00|16.00/2||4|5.00|20.0 %|12.00|60.00|16.00/"
                               "3||7|8.00|12.5 %|8.00|64.00|20.00/4||12|13.00|7.7 %|4.00|52.00|8.00"));
        QCOMPARE(c.lines(),
                 c.L("Book: 73.5 % of the market/Staked: 44.00/Profit: 8.00 to 20.00 whichever of them "
                     "wins/If any other runner wins: -44.00/"));
        c.key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(clipboard(), c.copied());

        // One computation per keystroke, whatever the chain does on the way; odds of 0 or below are none.
        int count = c.sheet()->computeCount();
        for (const char* keys : {"\b\b", "0", "\b"}) {
            c.type(4, QString::fromLatin1(keys));
            QCOMPARE(c.rows().section(u'/', 3) + c.lines(),
                     QStringLiteral("4||%1|||||Type the odds of the runners you play.////").arg(*keys == '0' ? "0" : ""));
        }
        c.type(4, QStringLiteral("9/2"));
        QCOMPARE(c.sheet()->computeCount(), count + 7);
        QCOMPARE(c.stakesDiffer(), QString());
        QCOMPARE(c.sheet()->gridSheet->item(3, 3)->text(), c.L("5.50"));
        QTest::mouseClick(c.w.btnRounditup, Qt::LeftButton);
        QCOMPARE(c.stakesDiffer(), QString());
        QCOMPARE(c.w.Label2_[0]->text(), QStringLiteral("14")); // 14.33 rounded indeed
        QTest::mouseClick(c.w.radioOptions->button(1), Qt::LeftButton);
        QCOMPARE(c.stakesDiffer(), QString());
        c.w.Combo1_[0]->lineEdit()->selectAll();
        QTest::keyClicks(c.w.Combo1_[0]->lineEdit(), QStringLiteral("7"));
        QCOMPARE(c.sheet()->gridSheet->item(0, 1)->text(), QStringLiteral("7"));
        // The odds format switched: "2" now reads as decimal odds, the fraction as it was.
        c.w.oddsDecimal->trigger();
        QCOMPARE(c.sheet()->gridSheet->item(0, 3)->text() + c.sheet()->gridSheet->item(3, 3)->text(),
                 c.L("2.005.50"));
        // 2, 4, 7 and 9/2 as decimal odds make a book over 100 %: the calculator says "none", the sheet why.
        QCOMPARE(c.w.Label2_[0]->text(), QStringLiteral("none"));
        QVERIFY(ParseNumber(c.sheet()->gridSheet->item(0, 5)->text().toStdString(), sep.unicode()));
        QCOMPARE(c.sheet()->lblBook->text(),
                 c.L("Book: 107.5 % of the market: at 100 % or more some runner always loses"));
        c.w.oddsToOne->trigger();
        QCOMPARE(c.sheet()->gridSheet->item(0, 3)->text(), c.L("3.00"));

        // Hidden: the keystrokes, clicks and examples cost no computation; shown again, it catches up once.
        c.sheet()->close();
        QVERIFY(!c.sheet()->isVisible());
        count = c.sheet()->computeCount();
        c.type(1, QStringLiteral("5"));
        QTest::mouseClick(c.w.btnExample3, Qt::LeftButton);
        QTest::mouseClick(c.w.btnRounditup, Qt::LeftButton);
        QCOMPARE(c.sheet()->computeCount(), count);
        c.w.activateWindow(); // offscreen, closing the sheet leaves no window active
        QVERIFY(QTest::qWaitForWindowActive(&c.w));
        c.key(Qt::Key_R, Qt::ControlModifier);
        QVERIFY(c.sheet()->isVisible());
        QCOMPARE(c.sheet()->computeCount(), count + 1);
        QCOMPARE(c.rows(), c.L("1|7|3/2|2.50|40.0 %|12.00|30.00|12.00/2||4|5.00|20.0 %|6.00|30.00|12.00"));
    }

    void settings_data() { follows_data(); }

    // Commission and a spread total change the sheet and its copy, not the calculator; keys that cannot make
    // a number are refused, a value out of range counts as 0 % or no spread and the box says so when left.
    void settings() {
        QFETCH(QChar, sep);
        Calculator c(sep);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        TfrmSheet* s = c.sheet();
        const QString amounts = c.w.Label2_[0]->text() + c.w.lblTotal_ex_Label19->text();
        QTest::keyClick(s->txtCommission, Qt::Key_Backspace);
        QTest::keyClicks(s->txtCommission, QStringLiteral("5"));
        QCOMPARE(c.rows().section(u'/', 0, 0), QStringLiteral("1||2|") + c.L("3.00|33.3 %|20.00|60.00|15.20"));
        s->cboSize->setCurrentIndex(1); // "A total of"
        QTest::keyClicks(s->txtSize, QStringLiteral("5x0,"));
        QCOMPARE(s->txtSize->text(), QStringLiteral("50,"));
        QCOMPARE(c.rows().section(u'/', 3, 3), c.L("4||12|13.00|7.7 %|5.23|67.99|17.09"));
        QVERIFY(!s->lblSpread->text().isEmpty());
        s->cboRound->setCurrentIndex(1); // "Onto the calculator's unit"
        QCOMPARE(c.rows().section(u'/', 3, 3), c.L("4||12|13.00|7.7 %|6.00|78.00|22.80"));
        QTest::mouseClick(s->btnCopy, Qt::LeftButton);
        QCOMPARE(clipboard(), c.copied());
        // Beside the text, a table for spreadsheets: the odds as text, the figures with their values.
        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        QVERIFY(html.contains(QStringLiteral("<td sdnum=\"1033;0;@\" style=\"mso-number-format:'\\@'\">12</td>")));
        QVERIFY(html.contains(QStringLiteral("<td sdval=\"78\" sdnum=\"1033;0;0.00\" style=\"mso-number-format:'0.00'\">") + c.L("78.00<")));
        QVERIFY(html.contains(u"<p>Commission on winnings: 5 %</p>"));
        QCOMPARE(c.w.Label2_[0]->text() + c.w.lblTotal_ex_Label19->text(), amounts);

        // Out of range: counted as 0 % and drawn in red while typed, replaced by what it counts as once left.
        s->activateWindow();
        s->txtCommission->setFocus();
        s->txtCommission->clear();
        QTest::keyClicks(s->txtCommission, QStringLiteral("1-5a0"));
        QCOMPARE(s->txtCommission->text(), QStringLiteral("150"));
        QCOMPARE(s->txtCommission->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(c.rows().section(u'/', 3, 3), c.L("4||12|13.00|7.7 %|6.00|78.00|24.00"));
        QTest::keyClick(s->txtCommission, Qt::Key_Return);
        QCOMPARE(s->txtCommission->text(), QStringLiteral("0"));
        QVERIFY(s->txtCommission->palette().color(QPalette::Text) != QColor(Qt::red));
        s->txtSize->clear();
        QCOMPARE(c.rows().section(u'/', 3, 3), c.L("4||12|13.00|7.7 %|4.00|52.00|8.00"));
        QCOMPARE(s->lblSpread->text(), QString());
    }

    // Each bet type and size switched on the real sheet: headings, rows, lines, the controls each one uses,
    // a size no stakes can give, the Stake cell typed into, and the copy of what is shown.
    void types() {
        QFETCH(QChar, sep);
        Calculator c(sep);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        TfrmSheet* s = c.sheet();
        auto row = [&](int r) { return c.rows().section(u'/', r, r).section(u'|', 4, 7); };
        auto heads = [&] {
            QString h;
            for (int col = 4; col < 8; ++col) h += s->gridSheet->horizontalHeaderItem(col)->text() + u'|';
            return h;
        };
        auto sizeItem = [&](int i) { return qobject_cast<QStandardItemModel*>(s->cboSize->model())->item(i); };
        QVERIFY(s->optBack->isChecked() && !sizeItem(3)->isEnabled() && !s->txtSize->isEnabled());
        QTest::mouseClick(s->optLay, Qt::LeftButton);
        QCOMPARE(heads(), QStringLiteral("Chance|Lay stake|Liability|Profit|"));
        QCOMPARE(row(2), c.L("12.5 %|8.00|56.00|-20.00"));
        QCOMPARE(c.lines(), c.L("Book: 73.5 % of the market/Lay stakes: 44.00; the most you can lose: 20.00/"
                                "Profit: -20.00 to -8.00 if one of them wins/If any other runner wins: 44.00/"));
        QVERIFY(sizeItem(3)->isEnabled() && !s->spnPlaces->isEnabled());
        s->cboSize->setCurrentIndex(3); // "A liability of"
        QTest::keyClicks(s->txtSize, QStringLiteral("20"));
        QCOMPARE(row(0), c.L("33.3 %|25.18|50.36|-20.00"));
        s->cboRound->setCurrentIndex(2); // evenly onto the calculator's 2
        QCOMPARE(row(3), c.L("7.7 %|6.00|72.00|-20.00"));
        QCOMPARE(s->lblSpread->text(), c.L("Stakes for a liability of 20.00; the calculator's own are unchanged"));
        QTest::mouseClick(s->btnCopy, Qt::LeftButton);
        QCOMPARE(clipboard(), c.copied());
        // Back takes no liability: the calculator's stakes, evenly, and the amount in red.
        QTest::mouseClick(s->optBack, Qt::LeftButton);
        QCOMPARE(row(0), c.L("33.3 %|18.00|54.00|16.00"));
        QCOMPARE(s->txtSize->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(s->lblSpread->text(), QStringLiteral("No stakes give that at these odds: the calculator's stakes are shown"));

        QTest::mouseClick(s->optEachWay, Qt::LeftButton);
        s->cboSize->setCurrentIndex(0);
        s->cboRound->setCurrentIndex(0);
        QVERIFY(s->spnPlaces->isEnabled() && s->cboTerms->isEnabled() && !s->txtCommission->isEnabled());
        QCOMPARE(heads(), QStringLiteral("Place|Stake|If it wins|If it places|"));
        QCOMPARE(row(0), c.L("1.40|9.41|-2.60|-30.83"));
        QCOMPARE(c.lines(), c.L("Book: 73.5 % of the market; place terms 1/5, 3 places/Staked: 44.00, 22.00 to win "
                                "and 22.00 to place/If one of them wins: -2.67 to 21.53/If none of them wins: "
                                "-44.00 to -19.86/"));
        s->cboTerms->setCurrentIndex(0);
        s->spnPlaces->setValue(2);
        QCOMPARE(row(0).section(u'|', 0, 0), c.L("1.50"));
        QVERIFY(s->lblBook->text().endsWith(u"place terms 1/4, 2 places"));
        QTest::mouseClick(s->btnCopy, Qt::LeftButton);
        QCOMPARE(clipboard(), c.copied());

        // A number typed into box 2's Stake cell, Enter: 6 on box 2, the others in proportion.
        QTest::mouseClick(s->optBack, Qt::LeftButton);
        s->gridSheet->editItem(s->gridSheet->item(1, 5));
        auto* editor = s->gridSheet->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("6x"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(s->cboSize->currentIndex(), 4); // the delegate commits on the next turn of the loop
        QCOMPARE(s->spnBox->value(), 2);
        QCOMPARE(row(1) + u'/' + row(0), c.L("20.0 %|6.00|30.00|7.94/33.3 %|10.00|30.00|7.94"));
        QCOMPARE(s->lblSpread->text(), c.L("Stakes with 6.00 on box 2; the calculator's own are unchanged"));
    }

    void types_data() { follows_data(); }

    // The menu items and the window's name (what a screen reader reads is read over the accessibility bus
    // by test_sheet_accessibility_*), and where the window goes on screens of several sizes.
    void namesAndPlace() {
        Calculator c(u'.');
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        QCOMPARE(c.w.raceSheet->text() + c.w.copyRace->text(), QStringLiteral("Race sheet...Copy the race"));
        QCOMPARE(c.w.race->actions().indexOf(c.w.raceSheet), 5); // below the formats, a separator and the paste
        QCOMPARE(c.sheet()->objectName(), QStringLiteral("frmSheet"));
        // Every control says in one sentence what it is for; F1 opens the sheet's help topic.
        for (QWidget* control : c.sheet()->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^(txt|chk|btn|grid|lbl|opt|spn|cbo)"))))
            QVERIFY2(control->toolTip().endsWith(u'.') && !control->toolTip().contains(u". "), qPrintable(control->objectName()));
        c.sheet()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(c.sheet()));
        c.sheet()->txtCommission->setFocus();
        help::setApplicationHelpFile(help::InstalledHelpFile());
        QTest::keyClick(c.sheet()->txtCommission, Qt::Key_F1);
        QCOMPARE(help::helpWindowTopic(), QStringLiteral("RaceSheet"));
        help::WinHelp(nullptr, {}, help::HelpQuit, 0);

        // A long figure widens its column (and the window, where it has no room) while typing; the next
        // example narrows them again.
        const int narrow = c.sheet()->gridSheet->columnWidth(3), width = c.sheet()->width();
        c.type(4, QStringLiteral("999999999"));
        QVERIFY(c.sheet()->gridSheet->columnWidth(3) > narrow);
        QVERIFY(c.sheet()->width() >= width);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        QCOMPARE(c.sheet()->gridSheet->columnWidth(3), narrow);
        QCOMPARE(c.sheet()->width(), width);

        // Right of the calculator, else left, below, above; else the screen's lower right corner.
        const QSize size(600, 400);
        const QRect calculator(100, 0, 800, 620);
        QCOMPARE(SheetPlace(calculator, size, QRect(0, 0, 1600, 1200)).topLeft(), QPoint(900, 0));
        QCOMPARE(SheetPlace(calculator.translated(600, 0), size, QRect(0, 0, 1600, 1200)).topLeft(),
                 QPoint(100, 0));
        QCOMPARE(SheetPlace(calculator, size, QRect(0, 0, 1024, 1024)).topLeft(), QPoint(100, 620));
        QCOMPARE(SheetPlace(calculator, size, QRect(0, 0, 1024, 768)).topLeft(), QPoint(424, 368));
    }
};

QTEST_MAIN(TestSheet)
#include "test_sheet.moc"
