// The race sheet beside the real calculator window, driven through the calculator's controls and menu keys,
// with the decimal point and the decimal comma, each in its C library locale.  The engine's tables check the
// sheet's figures and wording; here one figure shows that a control or path reached the engine.

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "help/helpviewer.h"
#include "sheet/frmsheet.h"
#include "support/processlocale.h"

#include <QStandardItemModel>
#include <QtTest>
#include <QtWidgets>

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
    QString cell(int r, int c) const { return sheet()->gridSheet->item(r, c)->text(); }
    QString heading(int c) const { return sheet()->gridSheet->horizontalHeaderItem(c)->text(); }
    // What a copy must give for the sheet as shown: the headings, the rows, the lines that are not empty.
    QString copied() const {
        const TfrmSheet* s = sheet();
        const int columns = s->gridSheet->columnCount();
        QString text;
        for (int r = -1; r < s->gridSheet->rowCount(); ++r) // -1: the headings
            for (int c = 0; c < columns; ++c)
                text += (r < 0 ? heading(c) : cell(r, c)) + QChar(c + 1 < columns ? u'\t' : u'\n');
        for (const QLabel* line : {s->lblBook, s->lblStaked, s->lblProfitRange, s->lblOutside, s->lblSpread})
            if (!line->text().isEmpty()) text += line->text() + u'\n';
        if (s->txtCommission->text() != u"0")
            text += QStringLiteral("Commission on winnings: %1 %\n").arg(s->txtCommission->text());
        return text;
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

    // Opened with Ctrl+R beside the calculator, the sheet follows an example, typing, the rounding and a
    // runner picked; hidden, it computes nothing.
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
        QCOMPARE(c.cell(3, 5), c.L("4.00"));
        c.key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(clipboard(), c.copied());

        // One computation per keystroke, whatever the chain does on the way.
        int count = c.sheet()->computeCount();
        c.type(4, QStringLiteral("\b\b0\b9/2"));
        QCOMPARE(c.sheet()->computeCount(), count + 7);
        QCOMPARE(c.cell(3, 3) + u'/' + c.cell(0, 5), c.L("5.50/14.33"));
        QTest::mouseClick(c.w.btnRounditup, Qt::LeftButton);
        QCOMPARE(c.cell(0, 5), c.L("14.00"));
        c.w.Combo1_[0]->lineEdit()->selectAll();
        QTest::keyClicks(c.w.Combo1_[0]->lineEdit(), QStringLiteral("7"));
        QCOMPARE(c.cell(0, 1), QStringLiteral("7"));

        // Hidden: an example costs no computation; shown again, it catches up once.
        c.sheet()->close();
        count = c.sheet()->computeCount();
        QTest::mouseClick(c.w.btnExample3, Qt::LeftButton);
        QCOMPARE(c.sheet()->computeCount(), count);
        c.w.raceSheet->trigger();
        QCOMPARE(c.sheet()->computeCount(), count + 1);
        QCOMPARE(c.cell(0, 5), c.L("12.00"));
    }

    void settings_data() { follows_data(); }

    // Commission, a spread total and its rounding reach the sheet and its copy; keys that cannot make a
    // number are refused, a value out of range is drawn red and replaced when left.
    void settings() {
        QFETCH(QChar, sep);
        Calculator c(sep);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        TfrmSheet* s = c.sheet();
        QTest::keyClick(s->txtCommission, Qt::Key_Backspace);
        QTest::keyClicks(s->txtCommission, QStringLiteral("5"));
        QCOMPARE(c.cell(0, 7), c.L("15.20"));
        s->cboSize->setCurrentIndex(1); // "A total of"
        QTest::keyClicks(s->txtSize, QStringLiteral("5x0,"));
        QCOMPARE(s->txtSize->text(), QStringLiteral("50,"));
        QCOMPARE(c.cell(3, 5), c.L("5.23"));
        s->cboRound->setCurrentIndex(1); // "Onto the calculator's unit"
        QCOMPARE(c.cell(3, 5), c.L("6.00"));
        QTest::mouseClick(s->btnCopy, Qt::LeftButton);
        QCOMPARE(clipboard(), c.copied());
        // Beside the text, a table for spreadsheets: the odds as text, the figures with their values.
        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        QVERIFY(html.contains(
            QStringLiteral("<td sdnum=\"1033;0;@\" style=\"mso-number-format:'\\@'\">12</td>"
                           "<td sdval=\"13\" sdnum=\"1033;0;0.00\" style=\"mso-number-format:'0.00'\">") +
            c.L("13.00<")));

        // Out of range: drawn in red while typed, replaced by what it counts as (0 %) once left.
        s->activateWindow();
        s->txtCommission->setFocus();
        s->txtCommission->clear();
        QTest::keyClicks(s->txtCommission, QStringLiteral("150"));
        QCOMPARE(s->txtCommission->palette().color(QPalette::Text), QColor(Qt::red));
        QTest::keyClick(s->txtCommission, Qt::Key_Return);
        QCOMPARE(s->txtCommission->text(), QStringLiteral("0"));
    }

    // Each bet type switched on the real sheet: its headings, the controls it uses, one figure per size and
    // rounding, a size no stakes can give drawn red, and the Stake cell typed into.
    void types() {
        QFETCH(QChar, sep);
        Calculator c(sep);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        TfrmSheet* s = c.sheet();
        const QStandardItem* liability = qobject_cast<QStandardItemModel*>(s->cboSize->model())->item(3);
        QVERIFY(s->optBack->isChecked() && !liability->isEnabled() && !s->txtSize->isEnabled());
        QTest::mouseClick(s->optLay, Qt::LeftButton);
        QCOMPARE(c.heading(6), QStringLiteral("Liability"));
        QVERIFY(liability->isEnabled() && !s->spnPlaces->isEnabled());
        s->cboSize->setCurrentIndex(3); // "A liability of"
        QTest::keyClicks(s->txtSize, QStringLiteral("20"));
        QCOMPARE(c.cell(0, 5), c.L("25.18"));
        // Back takes no liability: the amount in red.
        QTest::mouseClick(s->optBack, Qt::LeftButton);
        QCOMPARE(s->txtSize->palette().color(QPalette::Text), QColor(Qt::red));

        QTest::mouseClick(s->optEachWay, Qt::LeftButton);
        s->cboSize->setCurrentIndex(0);
        QVERIFY(s->spnPlaces->isEnabled() && s->cboTerms->isEnabled() && !s->txtCommission->isEnabled());
        QCOMPARE(c.cell(0, 4), c.L("1.40"));
        s->cboTerms->setCurrentIndex(0);
        s->spnPlaces->setValue(2);
        QCOMPARE(c.cell(0, 4), c.L("1.50"));

        // A number typed into box 2's Stake cell, Enter: 6 on box 2, the others in proportion.
        QTest::mouseClick(s->optBack, Qt::LeftButton);
        s->gridSheet->editItem(s->gridSheet->item(1, 5));
        auto* editor = s->gridSheet->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("6x"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(s->cboSize->currentIndex(), 4); // the delegate commits on the next turn of the loop
        QCOMPARE(c.cell(1, 5) + u'/' + c.cell(0, 5), c.L("6.00/10.00"));
    }

    void types_data() { follows_data(); }

    // F1, the columns narrowed again, and where the window goes on screens of several sizes.
    void helpWidthAndPlace() {
        Calculator c(u'.');
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        c.w.raceSheet->trigger();
        c.sheet()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(c.sheet()));
        c.sheet()->txtCommission->setFocus();
        help::setApplicationHelpFile(help::InstalledHelpFile());
        QTest::keyClick(c.sheet()->txtCommission, Qt::Key_F1);
        QCOMPARE(help::helpWindowTopic(), QStringLiteral("RaceSheet"));
        help::WinHelp(nullptr, {}, help::HelpQuit, 0);

        // A long figure widens its column (and the window, where it has no room) while typing; the next
        // example narrows them again.
        const int narrow = c.sheet()->gridSheet->columnWidth(3);
        c.type(4, QStringLiteral("999999999"));
        QVERIFY(c.sheet()->gridSheet->columnWidth(3) > narrow);
        QTest::mouseClick(c.w.btnExample, Qt::LeftButton);
        QCOMPARE(c.sheet()->gridSheet->columnWidth(3), narrow);

        // Right of the calculator (its left edge, the screen), else left, below; else the lower right.
        for (const auto& [left, screen, corner] : {std::tuple{100, QSize(1600, 1200), QPoint(900, 0)},
                                                   {700, QSize(1600, 1200), QPoint(100, 0)},
                                                   {100, QSize(1024, 1024), QPoint(100, 620)},
                                                   {100, QSize(1024, 768), QPoint(424, 368)}})
            QCOMPARE(SheetPlace(QRect(left, 0, 800, 620), QSize(600, 400), QRect(QPoint(), screen)).topLeft(),
                     corner);
    }
};

QTEST_MAIN(TestSheet)
#include "test_sheet.moc"
