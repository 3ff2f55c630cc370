// The calculator window driven through its controls, as a user would, with the
// decimal point and with the decimal comma.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "calculator/frmjeugagnant.h"
#include "components/glyphbutton.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "support/processlocale.h"

using namespace fairstake;

namespace {

// Answers every message box with the given button and records what it asked.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        previous_ = setMessageAnswerer([this, answer](QWidget*, const MessageRequest& r) {
            asked.push_back(r);
            return answer;
        });
    }
    ~MessageRecorder() { setMessageAnswerer(std::move(previous_)); }
    std::vector<MessageRequest> asked;

private:
    MessageAnswerer previous_;
};

// The C library's locale follows the window's separator, as it does in the
// program; each test function starts in the point locale (init()).
std::unique_ptr<TfrmJeuGagnant> openWindow(QChar separator) {
    fairstake::test::UseProcessLocale(separator.unicode());
    auto w = std::make_unique<TfrmJeuGagnant>(separator);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
}

// A figure written with the point, shown with the window's separator.
QString num(const char* figure, QChar separator) { return QString::fromLatin1(figure).replace(u'.', separator); }

QStringList amounts(const TfrmJeuGagnant& w, int n) {
    QStringList shown;
    for (int i = 0; i < n; ++i) shown << w.Label2_[static_cast<std::size_t>(i)]->text();
    return shown;
}

QStringList nums(std::initializer_list<const char*> figures, QChar separator) {
    QStringList out;
    for (const char* f : figures) out << num(f, separator);
    return out;
}

void typeOdds(TfrmJeuGagnant& w, int box, const QString& text) {
    QLineEdit* edit = w.txtCote[static_cast<std::size_t>(box - 1)];
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

void pickHorses(TfrmJeuGagnant& w, int count) { QTest::mouseClick(w.Option1->button(count - 1), Qt::LeftButton); }

void hover(QWidget* control, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, control->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
}

QColor baseColour(const QWidget* w) { return w->palette().color(QPalette::Base); }

} // namespace

class TestCalculator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { fairstake::test::UseProcessLocale(U'.'); }
    static void separators() {
        QTest::addColumn<QChar>("sep");
        QTest::newRow("point") << QChar(u'.');
        QTest::newRow("comma") << QChar(u',');
    }

    void layoutFollowsTheDesignTable();
    void startUpState_data() { separators(); }
    void startUpState();
    void windowPlacement();
    void typingOddsRecalculates_data() { separators(); }
    void typingOddsRecalculates();
    void oddsBoxRepairsItsText_data() { separators(); }
    void oddsBoxRepairsItsText();
    void targetScrollBarAndStartBox_data() { separators(); }
    void targetScrollBarAndStartBox();
    void roundingControls_data() { separators(); }
    void roundingControls();
    void examples_data() { separators(); }
    void examples();
    void clearStrip_data() { separators(); }
    void clearStrip();
    void refreshButtons_data() { separators(); }
    void refreshButtons();
    void shiftingOdds();
    void hoverHelpAndShowToggle_data() { separators(); }
    void hoverHelpAndShowToggle();
    void currencyMinimizeAndClose();
    void startersAndRunners();
    void tabOrder();
    void keystrokePaintsOnceAndLabelsFit();
    void applicationIconAfterFirstPaint();
};

void TestCalculator::layoutFollowsTheDesignTable() {
    auto w = openWindow(u'.');
    QVERIFY(w);
    QCOMPARE(w->client->size(), QSize(794, 565));
    const QRect clientRect = w->client->rect();
    const QStringList outside = {QStringLiteral("cmdRafraichir"), QStringLiteral("imgNomore"),
                                 QStringLiteral("avantgauche"), QStringLiteral("txtGauche"),
                                 QStringLiteral("txtDroite"), QStringLiteral("apresdroite")};
    QSet<QString> seen;
    for (const ControlSpec& s : CalculatorControls()) {
        const QString name = QString::fromLatin1(s.name);
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
        auto* control = w->client->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->pos(), QPoint(s.x, s.y));
        if (s.w > 0 && s.h > 0) QCOMPARE(control->size(), QSize(s.w, s.h));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible, qPrintable(name));
        // The horse's balloon is named by what it says, and it says nothing at start.
        if (name != QStringLiteral("lblAide"))
            QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(name));
        QCOMPARE(control->property("helpContext").toInt(), s.helpContext);
        const bool inside = clientRect.contains(control->geometry());
        if (outside.contains(name))
            QVERIFY2(!control->geometry().intersects(clientRect), qPrintable(name));
        else if (name != QStringLiteral("imgMinimize") && name != QStringLiteral("imgBig")) // both overhang by a pixel
            QVERIFY2(inside, qPrintable(name));
    }
    // Command1 covers Button1 exactly and lies above it.
    QCOMPARE(w->Command1->geometry(), w->Button1->geometry());
    QVERIFY(w->client->children().indexOf(w->Command1) > w->client->children().indexOf(w->Button1));
    QCOMPARE(w->Option1->button(8)->text(), QStringLiteral("9  horses"));
    QCOMPARE(w->columnCaption[0]->text(), QStringLiteral("Amount to bet \non the 1st horse"));
    QCOMPARE(w->columnCaption[2]->text(), QStringLiteral("on the\n3rd horse"));
    QVERIFY(w->E2->isChecked());
    QCOMPARE(w->I1->actions().size(), 5);
    for (QAction* item : {w->E1, w->homepage, w->latestversion}) QVERIFY(!item->text().isEmpty());
    QVERIFY(!w->internet->title().isEmpty() && !w->I1->title().isEmpty() && !w->H1->title().isEmpty());
    QCOMPARE(w->H1->actions().size(), 5);
    QCOMPARE(w->H1->actions().at(4)->menu(), w->Language1);
}

void TestCalculator::startUpState() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    QVERIFY(w->txtCote[0]->isEnabled());
    for (std::size_t c = 1; c < 9; ++c) {
        QVERIFY(!w->txtCote[c]->isEnabled());
        QCOMPARE(baseColour(w->txtCote[c]), QColor(0xC0C0C0));
        QCOMPARE(w->Combo1_[c]->currentText(), QStringLiteral("Select"));
    }
    QCOMPARE(amounts(*w, 9), QStringList(9, QStringLiteral("???")));
    QCOMPARE(w->lblYield->text(), QStringLiteral("..."));
    QCOMPARE(w->lblTotal_ex_Label19->text(), QStringLiteral("Total amount to bet:"));
    QCOMPARE(w->lblAmount_ie_Label4->text(), QStringLiteral("Amount appears here.."));
    QCOMPARE(w->txtTenths->text(), num("0.5", sep));
    QCOMPARE(w->lblAide->text(), QString());
    QCOMPARE(w->Option1->itemIndex(), 0);
    QCOMPARE(w->HScroll1->value(), 2);
    QCOMPARE(w->HScroll1->minimum(), 2);
    QVERIFY(w->radiocenter->isChecked());
    QVERIFY(!w->lblDansleRouge->isVisible());
    QVERIFY(w->MarqueeFreeware->isActive());
    QVERIFY(w->windowTitle().contains(QStringLiteral("®")));
    QVERIFY(w->windowFlags() & Qt::WindowContextHelpButtonHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
}

void TestCalculator::windowPlacement() {
    QCOMPARE(WindowLeft(1024), 112);
    QCOMPARE(WindowLeft(800), 0);
    QCOMPARE(WindowLeft(801), 0);   // half a pixel goes to the even side
    QCOMPARE(WindowLeft(803), 2);   // 1.5 -> 2
    QCOMPARE(WindowLeft(805), 2);   // 2.5 -> 2
    QCOMPARE(WindowLeft(640), 0);
    QCOMPARE(WindowLeft(1920), 560);
}

void TestCalculator::typingOddsRecalculates() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    pickHorses(*w, 2);
    QVERIFY(w->txtCote[1]->isEnabled());
    QCOMPARE(baseColour(w->txtCote[1]), w->palette().color(QPalette::Base));
    typeOdds(*w, 1, QStringLiteral("2"));
    // Only one of two boxes is filled: nothing computed yet.
    QCOMPARE(w->Label2_[0]->text(), QStringLiteral("???"));
    QCOMPARE(w->lblTotal_ex_Label19->text(), QStringLiteral("Total amount to bet (click the REFRESH button)"));
    typeOdds(*w, 2, QStringLiteral("3"));
    QCOMPARE(amounts(*w, 2), nums({"4.67", "3.50"}, sep));
    QCOMPARE(w->lblTotal_ex_Label19->text(), QStringLiteral("Total amount to bet: ") + num("8.17", sep));
    QCOMPARE(w->lblAmount_ie_Label4->text(), num("5.84", sep));
    QCOMPARE(w->Label2_[2]->text(), QStringLiteral("none"));
    QCOMPARE(w->Label2_[0]->palette().color(QPalette::WindowText), QColor(0x0000FF));
    QCOMPARE(w->Label2_[2]->palette().color(QPalette::WindowText), QColor(0xC0C0C0));
    QCOMPARE(w->slip().baseAmount, 2.0f);
    QCOMPARE(w->HScroll1->minimum(), 1);

    // The recalculation road with three horses and a fraction.
    pickHorses(*w, 3);
    typeOdds(*w, 3, QStringLiteral("9/2"));
    QCOMPARE(w->slip().selection(3).oddsValue, 4.5f);
    QCOMPARE(w->lblYield->text(), QStringLiteral("Odds of ") + num("4.50", sep) + QStringLiteral(" will yield ") +
                                      num("5.50", sep) + QStringLiteral(" for a $1 bet and ") + num("11.00", sep) +
                                      QStringLiteral(" for a $2 bet"));
    QCOMPARE(amounts(*w, 3), nums({"8.33", "6.25", "4.55"}, sep));
    QCOMPARE(w->lblAide->text(), QString()); // the quantity handler of the recalculation cleared it

    // Evens on both of two horses: no profit possible.
    pickHorses(*w, 2);
    w->txtCote[0]->clear();
    typeOdds(*w, 1, QStringLiteral("1"));
    w->txtCote[1]->clear();
    typeOdds(*w, 2, QStringLiteral("1"));
    QVERIFY(w->lblDansleRouge->isVisible());
    QCOMPARE(amounts(*w, 2), QStringList(2, QStringLiteral("none")));
    QCOMPARE(w->lblAmount_ie_Label4->text(), num("0.00", sep));
    QVERIFY(!w->lblDansleRouge->text().isEmpty());

    // The display in whole numbers.
    w->txtCote[1]->clear();
    typeOdds(*w, 2, QStringLiteral("3"));
    QVERIFY(!w->lblDansleRouge->isVisible());
    QTest::mouseClick(w->radioOptions->button(1), Qt::LeftButton);
    QCOMPARE(w->lblAide->text(), QStringLiteral("Make your choice as to see the decimal part or not. Useful to see "
                                                "the TRUE amount due in case you have rounded it up to the nearest "
                                                "amount to bet."));
    QCOMPARE(amounts(*w, 2), (QStringList{QStringLiteral("6"), QStringLiteral("3")}));
}

void TestCalculator::oddsBoxRepairsItsText() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    const QChar other = sep == u'.' ? u',' : u'.';
    QLineEdit* box = w->txtCote[0];

    typeOdds(*w, 1, QStringLiteral("4") + other);
    QCOMPARE(box->text(), QStringLiteral("4") + sep);
    QCOMPARE(box->cursorPosition(), 2);
    QCOMPARE(w->slip().selection(1).oddsValue, 4.0f);
    QTest::keyClicks(box, QStringLiteral("5"));
    QCOMPARE(box->text(), num("4.5", sep));
    QCOMPARE(w->slip().selection(1).oddsValue, 4.5f);

    box->clear();
    QCOMPARE(w->Label2_[0]->text(), QStringLiteral("???"));
    QCOMPARE(w->slip().selection(1).oddsValue, 4.5f); // emptying keeps the odds
    typeOdds(*w, 1, QStringLiteral(".5"));
    QCOMPARE(box->text(), num("0.5", sep));
    box->clear();
    typeOdds(*w, 1, QStringLiteral(",5"));
    QCOMPARE(box->text(), num("0.5", sep));

    box->clear();
    typeOdds(*w, 1, QStringLiteral("9/"));
    QCOMPARE(w->slip().selection(1).oddsValue, 9.0f);
    QTest::keyClicks(box, QStringLiteral("2"));
    QCOMPARE(w->slip().selection(1).oddsValue, 4.5f);

    box->setText(QStringLiteral("/3"));
    QCOMPARE(box->text(), QString());
    box->setText(QStringLiteral("  7 \t"));
    QCOMPARE(box->text(), QStringLiteral("7"));
    QCOMPARE(w->slip().selection(1).oddsValue, 7.0f);

    // A blank inside the text of box 2 goes at once.
    pickHorses(*w, 2);
    typeOdds(*w, 2, QStringLiteral("9 /2"));
    QCOMPARE(w->txtCote[1]->text(), QStringLiteral("9/2"));
    QCOMPARE(w->slip().selection(2).oddsValue, 4.5f);
    // Focus stays in the box being typed into.
    QCOMPARE(QApplication::focusWidget(), w->txtCote[1]);
}

void TestCalculator::targetScrollBarAndStartBox() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    // With the last played box empty only the help text changes.
    w->HScroll1->setValue(5);
    QCOMPARE(w->lblAide->text(), QStringLiteral("When you lose a bet, you must recover your losses on the next one. "
                                                "Use this scroll bar (or picture below) to calculate the TOTAL "
                                                "winnings you need."));
    QCOMPARE(w->HScroll1->minimum(), 1);
    QCOMPARE(w->slip().baseAmount, 0.0f);
    QCOMPARE(w->Label2_[0]->text(), QStringLiteral("???"));

    typeOdds(*w, 1, QStringLiteral("3"));
    QCOMPARE(w->slip().baseAmount, 5.0f);
    QCOMPARE(w->Label2_[0]->text(), num("5.00", sep));

    // The picture under the bar: left part lowers, right part raises.
    QTest::mousePress(w->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(93, 10));
    QCOMPARE(w->HScroll1->value(), 6);
    QCOMPARE(w->Label2_[0]->text(), num("6.00", sep));
    QTest::mousePress(w->Image1, Qt::RightButton, Qt::NoModifier, QPoint(92, 10));
    QCOMPARE(w->HScroll1->value(), 5);
    w->HScroll1->setValue(1);
    QTest::mousePress(w->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(w->HScroll1->value(), 1);
    QCOMPARE(w->Label2_[0]->text(), num("1.00", sep));

    // "Start at".
    w->HScroll1->setValue(4);
    w->Edit1->selectAll();
    QTest::keyClicks(w->Edit1, QStringLiteral("10"));
    QCOMPARE(w->HScroll1->minimum(), 10);
    QCOMPARE(w->HScroll1->value(), 10);
    QCOMPARE(w->Label2_[0]->text(), num("10.00", sep));
    w->Edit1->setText(QStringLiteral("5"));
    QCOMPARE(w->HScroll1->minimum(), 5);
    QCOMPARE(w->HScroll1->value(), 10);
    for (const char* refused : {"150", "1x", "2.5", "2,5"}) {
        w->Edit1->setText(QString::fromLatin1(refused));
        QCOMPARE(w->HScroll1->minimum(), 5);
        QCOMPARE(w->HScroll1->maximum(), 100);
    }
    w->Edit1->setText(QStringLiteral(" 2 "));
    QCOMPARE(w->Edit1->text(), QStringLiteral("2"));
    QCOMPARE(w->HScroll1->minimum(), 2);
    w->HScroll1->setValue(3);
    QCOMPARE(w->HScroll1->minimum(), 1);
    w->Edit1->setText(QStringLiteral("-3"));
    QCOMPARE(w->HScroll1->minimum(), -3);
}

void TestCalculator::roundingControls() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    const QChar other = sep == u'.' ? u',' : u'.';
    // The unit box puts the separator right at its end only.
    w->txtArrondir->clear();
    w->txtArrondir->setFocus();
    QTest::keyClicks(w->txtArrondir, QStringLiteral("1") + other);
    QCOMPARE(w->txtArrondir->text(), QStringLiteral("1") + sep);
    QTest::keyClicks(w->txtArrondir, QStringLiteral("5"));
    QCOMPARE(w->txtArrondir->text(), num("1.5", sep));
    w->txtArrondir->setText(QStringLiteral("1") + other + QStringLiteral("5"));
    QCOMPARE(w->txtArrondir->text(), QStringLiteral("1") + other + QStringLiteral("5"));

    // Direction buttons: one checked, each with its text; no amount changes.
    pickHorses(*w, 2);
    typeOdds(*w, 1, QStringLiteral("2"));
    typeOdds(*w, 2, QStringLiteral("3"));
    const QStringList before = amounts(*w, 2);
    QTest::mouseClick(w->radioup, Qt::LeftButton, Qt::NoModifier, QPoint(6, 8));
    QVERIFY(w->radioup->isChecked() && !w->radiocenter->isChecked() && !w->radiodown->isChecked());
    QCOMPARE(w->Option1->button(1)->isChecked(), true); // the other radio buttons are left alone
    QCOMPARE(w->lblAide->text(), QStringLiteral("Round figures upwards to the amount you specify in the edit box on "
                                                "the right\nYou can also choose to round figures downwards or to "
                                                "the closest amount"));
    QCOMPARE(amounts(*w, 2), before);
    QTest::mouseClick(w->radiodown, Qt::LeftButton, Qt::NoModifier, QPoint(6, 8));
    QVERIFY(w->radiodown->isChecked() && !w->radioup->isChecked());
    QVERIFY(w->lblAide->text().startsWith(QStringLiteral("Round figures downwards")));

    // Threshold from its scroll bar; the box's own text is never read.
    w->ScrollBar1->setValue(1);
    QCOMPARE(w->txtTenths->text(), num("0.1", sep));
    QCOMPARE(w->slip().roundingThreshold, 0.1f);
    w->ScrollBar1->setValue(9);
    QCOMPARE(w->txtTenths->text(), num("0.9", sep));
    w->txtTenths->setText(QStringLiteral("7"));
    QCOMPARE(w->slip().roundingThreshold, 0.9f);
    QTest::mouseClick(w->txtTenths, Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), w->ScrollBar1);

    // A unit with the wrong separator inside stops the rounding.
    QTest::mouseClick(w->btnRounditup, Qt::LeftButton);
    QCOMPARE(amounts(*w, 2), before);
    // Round down to multiples of 1.5: 4.67 -> 4.5, 3.50 -> 3.
    w->txtArrondir->setText(num("1.5", sep));
    QTest::mouseClick(w->btnRounditup, Qt::LeftButton);
    QCOMPARE(amounts(*w, 2), nums({"4.5", "3"}, sep));
    // A fresh display mode choice writes unrounded amounts again.
    QTest::mouseClick(w->radioOptions->button(1), Qt::LeftButton);
    QTest::mouseClick(w->radioOptions->button(0), Qt::LeftButton);
    QCOMPARE(amounts(*w, 2), nums({"4.67", "3.50"}, sep));
}

void TestCalculator::examples() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    QTest::mouseClick(w->btnExample, Qt::LeftButton);
    QCOMPARE(w->Option1->itemIndex(), 3);
    QCOMPARE(w->txtCote[3]->text(), QStringLiteral("12"));
    QCOMPARE(amounts(*w, 4), nums({"20", "12", "8", "4"}, sep));
    QCOMPARE(w->lblTotal_ex_Label19->text(), QStringLiteral("Total amount to bet: ") + num("44.00", sep));
    QCOMPARE(w->lblAmount_ie_Label4->text(), num("15.35", sep));
    QCOMPARE(QApplication::focusWidget(), w->txtCote[3]);

    // The unrounded figures behind it, by the display mode's recalculation.
    QTest::mouseClick(w->radioOptions->button(1), Qt::LeftButton);
    QTest::mouseClick(w->radioOptions->button(0), Qt::LeftButton);
    QCOMPARE(amounts(*w, 4), nums({"19.33", "11.60", "7.25", "4.46"}, sep));
    QCOMPARE(w->lblTotal_ex_Label19->text(), QStringLiteral("Total amount to bet: ") + num("42.64", sep));

    QTest::mouseClick(w->btnExample2, Qt::LeftButton);
    QCOMPARE(w->HScroll1->value(), 4);
    QCOMPARE(w->txtCote[0]->text(), QStringLiteral("3/2"));
    QCOMPARE(w->slip().selection(1).oddsValue, 1.5f);
    QCOMPARE(QApplication::focusWidget(), w->txtCote[3]);
    QTest::mouseClick(w->btnExample3, Qt::LeftButton);
    QCOMPARE(w->Option1->itemIndex(), 1);
    QCOMPARE(w->txtCote[2]->text(), QStringLiteral("5"));
    QCOMPARE(w->txtCote[3]->text(), QStringLiteral("8"));
    QVERIFY(!w->txtCote[2]->isEnabled() && !w->txtCote[3]->isEnabled());
}

void TestCalculator::clearStrip() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    auto fill = [&] {
        pickHorses(*w, 9);
        for (std::size_t c = 0; c < 9; ++c) w->txtCote[c]->setText(QString::number(c + 2));
    };
    auto filled = [&] {
        QString mask;
        for (QLineEdit* box : w->txtCote) mask += box->text().isEmpty() ? u'-' : u'x';
        return mask;
    };
    fill();
    QVERIFY(w->Label2_[8]->text() != QStringLiteral("???"));
    QTest::mouseClick(w->imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(1, 9));
    QCOMPARE(filled(), QStringLiteral("xxxxxxxxx"));
    QTest::mouseClick(w->imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(142, 9));
    QCOMPARE(filled(), QStringLiteral("xxxxxxxx-"));
    QCOMPARE(w->Label2_[8]->text(), QStringLiteral("???"));
    QTest::mouseClick(w->imgBlanc, Qt::RightButton, Qt::NoModifier, QPoint(50, 9));
    QCOMPARE(filled(), QStringLiteral("xxx------"));
    fill();
    QTest::mouseClick(w->imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(17, 9));
    QCOMPARE(filled(), QStringLiteral("x--------"));
    fill();
    // Unplayed, disabled boxes are emptied too.
    pickHorses(*w, 1);
    QTest::mouseClick(w->imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(16, 9));
    QCOMPARE(filled(), QStringLiteral("---------"));
    QCOMPARE(amounts(*w, 9), QStringList(9, QStringLiteral("???")));
    // With box 1 empty the calculate button does nothing.
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QCOMPARE(w->Label2_[0]->text(), QStringLiteral("???"));
}

void TestCalculator::refreshButtons() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    MessageRecorder messages;
    QTest::mouseClick(w->Cmdrafraichirbid, Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 0u);
    QCOMPARE(w->Label2_[0]->text(), QStringLiteral("???"));

    pickHorses(*w, 2);
    typeOdds(*w, 1, QStringLiteral("2"));
    typeOdds(*w, 2, QStringLiteral("3"));
    QTest::mouseClick(w->Cmdrafraichirbid, Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 0u);
    QCOMPARE(amounts(*w, 2), nums({"3.33", "2.50"}, sep));
    QCOMPARE(w->lblAmount_ie_Label4->text(), num("4.16", sep));

    // The hidden second button calculates as the calculate button does.
    w->cmdRafraichir->setFocus();
    QTest::keyClick(w->cmdRafraichir, Qt::Key_Space);
    QCOMPARE(amounts(*w, 2), nums({"4.67", "3.50"}, sep));

    // No profit: the go-ahead is refused with the plain message.
    w->txtCote[1]->clear();
    typeOdds(*w, 2, QStringLiteral("1"));
    w->txtCote[0]->clear();
    typeOdds(*w, 1, QStringLiteral("1"));
    QCOMPARE(w->lblAmount_ie_Label4->text(), num("0.00", sep));
    QTest::mouseClick(w->Cmdrafraichirbid, Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 1u);
    QCOMPARE(messages.asked[0].text, QStringLiteral("First, you must choose the amount you want to win!"));
    QCOMPARE(messages.asked[0].title, QApplication::applicationDisplayName());
    QCOMPARE(messages.asked[0].icon, QMessageBox::NoIcon);
    QCOMPARE(messages.asked[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestCalculator::shiftingOdds() {
    auto w = openWindow(u'.');
    QVERIFY(w);
    QTest::mouseClick(w->btnExample, Qt::LeftButton);
    auto row = [&] {
        QStringList texts;
        for (QLineEdit* box : w->txtCote) texts << box->text();
        return texts.mid(0, 5).join(u'|');
    };
    QCOMPARE(row(), QStringLiteral("2|4|7|12|"));
    QTest::mouseClick(w->imggauche, Qt::LeftButton);
    QCOMPARE(row(), QStringLiteral("4|7|12||"));
    QCOMPARE(w->Option1->itemIndex(), 3);
    QCOMPARE(w->Label2_[3]->text(), QStringLiteral("???"));
    QCOMPARE(w->txtGauche->text(), QStringLiteral("2"));
    QTest::mouseClick(w->imgDroite, Qt::LeftButton);
    QCOMPARE(row(), QStringLiteral("2|4|7|12|"));
    QVERIFY(!w->txtCote[4]->isEnabled());
    QCOMPARE(w->Combo1_[0]->currentText(), QStringLiteral("Select"));

    for (int n = 0; n < 3; ++n) QTest::mouseClick(w->imggauche, Qt::LeftButton);
    QCOMPARE(w->avantgauche->text(), QStringLiteral("4"));
    for (int n = 0; n < 3; ++n) QTest::mouseClick(w->imgDroite, Qt::LeftButton);
    QCOMPARE(row(), QStringLiteral("|4|7|12|"));
    // Clearing leaves the hidden cells alone.
    QTest::mouseClick(w->imggauche, Qt::LeftButton);
    QTest::mouseClick(w->imgBlanc, Qt::LeftButton, Qt::NoModifier, QPoint(5, 9));
    QCOMPARE(w->txtGauche->text(), QString());
    QCOMPARE(w->avantgauche->text(), QString());
}

void TestCalculator::hoverHelpAndShowToggle() {
    QFETCH(QChar, sep);
    auto w = openWindow(sep);
    QVERIFY(w);
    hover(w->txtCote[0], QPoint(5, 5));
    QVERIFY(w->lblAide->text().startsWith(QStringLiteral("Type the odds of first horse in here.\n")));
    QVERIFY(w->lblAide->text().contains(QStringLiteral("like 4 ") + sep + QStringLiteral("5 or even 9/2")));
    QVERIFY(w->lblAide->text().endsWith(sep == u',' ? QStringLiteral("comma.") : QStringLiteral("point.")));
    QCOMPARE(w->lblAide->width(), 193);

    QStringList seen;
    for (int x = 161; x >= 0; --x) {
        hover(w->imgBlanc, QPoint(x, 9));
        if (seen.isEmpty() || seen.back() != w->lblAide->text()) seen << w->lblAide->text();
    }
    QCOMPARE(seen.size(), 9);
    QVERIFY(seen.front().contains(QStringLiteral("Click to clear box 9")));
    QVERIFY(seen.back().contains(QStringLiteral("Click to clear all the boxes")));

    hover(w->Edit1, QPoint(3, 3));
    QCOMPARE(w->lblAide->text(), QString());
    hover(w->imgracetracks, QPoint(3, 3));
    QVERIFY(w->lblAide->text().startsWith(QStringLiteral("Click and travel")));
    hover(w->Label14, QPoint(3, 3)); // a caption label leaves the text
    QVERIFY(w->lblAide->text().startsWith(QStringLiteral("Click and travel")));
    hover(w->imgBig, QPoint(700, 100));
    QVERIFY(!w->lblAide->text().isEmpty());

    QTest::mouseClick(w->chkNomore, Qt::LeftButton);
    QVERIFY(!w->chkNomore->isChecked());
    QCOMPARE(w->imgNomore->pos(), QPoint(354, 451));
    QVERIFY(!w->MarqueeFreeware->isVisible() && !w->MarqueeFreeware->isActive());
    QVERIFY(!w->lblShow->isVisible());
    QTest::mouseClick(w->chkNomore, Qt::LeftButton);
    QCOMPARE(w->imgNomore->pos(), QPoint(860, 451));
    QVERIFY(!w->MarqueeFreeware->isVisible() && !w->lblShow->isVisible());
}

void TestCalculator::currencyMinimizeAndClose() {
    auto w = openWindow(u'.');
    QVERIFY(w);
    typeOdds(*w, 1, QStringLiteral("4"));
    const QString yield = w->lblYield->text();
    w->U1->trigger();
    QCOMPARE(w->lblDollar->text(), QStringLiteral("£"));
    QCOMPARE(w->lblDollar2->text(), QStringLiteral("£"));
    QCOMPARE(w->lblYield->text(), yield);
    QVERIFY(yield.contains(QStringLiteral("$1 bet")));
    w->F1->trigger();
    QCOMPARE(w->lblDollar2->text(), QStringLiteral("€"));
    w->E2->trigger();
    QCOMPARE(w->lblDollar->text(), QStringLiteral("$"));

    QTest::mouseClick(w->imgMinimize, Qt::LeftButton);
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(!w->imgMinimize->isVisible());
    QVERIFY(w->isVisible());

    {
        MessageRecorder cancel(QMessageBox::Cancel);
        w->E1->trigger();
        QCOMPARE(cancel.asked.size(), 1u);
        QCOMPARE(cancel.asked[0].icon, QMessageBox::Question);
        QCOMPARE(cancel.asked[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(cancel.asked[0].text.contains(u'\r'));
        QVERIFY(w->isVisible());
        QCOMPARE(w->closeCount(), 0);
    }
    MessageRecorder ok(QMessageBox::Ok);
    w->E1->trigger();
    QVERIFY(!w->isVisible());
    QCOMPARE(w->closeCount(), 1);
}

namespace {

// Types the number of starters over the old one; every runner list then offers
// 1 to listed and reads "1 to <typed>".
void typeStarters(TfrmJeuGagnant& w, const QString& typed, int listed) {
    w.comboStarters->setFocus();
    w.comboStarters->lineEdit()->selectAll();
    QTest::keyClicks(w.comboStarters, typed);
    for (QComboBox* combo : w.Combo1_) {
        QCOMPARE(combo->count(), listed);
        QCOMPARE(combo->itemText(listed - 1), QString::number(listed));
        QCOMPARE(combo->currentText(), QStringLiteral("1 to ") + typed);
    }
}

} // namespace

void TestCalculator::startersAndRunners() {
    auto w = openWindow(u'.');
    QVERIFY(w);
    QCOMPARE(w->Combo1_[0]->count(), 22);
    typeStarters(*w, QStringLiteral("15"), 15);
    if (QTest::currentTestFailed()) return;
    w->comboStarters->clearEditText();
    QCOMPARE(w->Combo1_[0]->count(), 0);
    QCOMPARE(w->Combo1_[0]->currentText(), QString());
    QCOMPARE(w->Combo1_[1]->count(), 15);
    QVERIFY(!w->Combo1_[1]->font().bold());
    w->Combo1_[1]->setFocus();
    QTest::keyClicks(w->Combo1_[1], QStringLiteral("7"));
    QVERIFY(w->Combo1_[1]->font().bold());
    QCOMPARE(w->Combo1_[1]->font().pixelSize(), 16);

    // A number of starters typed far too large lists no more than 999 runners
    // (nine lists of millions would freeze the window); the text says what was typed.
    typeStarters(*w, QStringLiteral("2000000000"), 999);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(w->slip().startersCount, 2000000000);
}

void TestCalculator::tabOrder() {
    auto w = openWindow(u'.');
    QVERIFY(w);
    pickHorses(*w, 9);
    w->txtCote[8]->setFocus();
    QTest::keyClick(w->txtCote[8], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->Combo1_[0]);
    w->btnRounditup->setFocus();
    QTest::keyClick(w->btnRounditup, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->cmdRafraichir);
    w->apresdroite->setFocus();
    QTest::keyClick(w->apresdroite, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w->Button1);
}

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

} // namespace

void TestCalculator::keystrokePaintsOnceAndLabelsFit() {
    auto w = openWindow(QChar(u'.'));
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    pickHorses(*w, 9);
    for (int i = 1; i <= 9; ++i) typeOdds(*w, i, QString::number(2 * i + 1));
    QCoreApplication::processEvents();

    // A keystroke's chain changes the amounts several times and lets pending
    // events run at each step; the window is still painted once, after it,
    // with the final figures.
    PaintCounter amountPaints(w->Label2_[8]);
    PaintCounter backgroundPaints(w->imgBig);
    const QString before = w->Label2_[8]->text();
    QTest::keyClick(w->txtCote[8], Qt::Key_Backspace);
    QCOMPARE(amountPaints.count, 0);
    QTRY_COMPARE(amountPaints.count, 1);
    QCOMPARE(backgroundPaints.count, 1);
    QVERIFY(w->Label2_[8]->text() != before);
    QTest::keyClick(w->txtCote[8], '9');
    QTRY_COMPARE(amountPaints.count, 2);
    QCOMPARE(w->Label2_[8]->text(), before);

    // Within the chain the quantity is pressed again (its marks move to eight
    // runners and back): its buttons are not repainted for that.
    PaintCounter quantityPaints(w->Option1->button(8));
    PaintCounter otherQuantityPaints(w->Option1->button(7));
    QTest::keyClick(w->txtCote[8], Qt::Key_Backspace);
    QTRY_COMPARE(amountPaints.count, 3);
    QCOMPARE(w->Option1->itemIndex(), 8);
    QVERIFY(w->Option1->button(8)->isChecked());
    QVERIFY(!w->Option1->button(7)->isChecked());
    QCOMPARE(quantityPaints.count, 0);
    QCOMPARE(otherQuantityPaints.count, 0);

    // The labels the chain writes are sized as adjustSize would size them.
    for (QLabel* label : {w->Label2_[0], w->lblTotal_ex_Label19, w->lblYield, w->lblAmount_ie_Label4}) {
        for (const QString& text : {QString(), QStringLiteral("none"), QStringLiteral("???"), QStringLiteral("1234.56"),
                                    QStringLiteral("Total amount to bet (click the REFRESH button)"),
                                    QStringLiteral("Odds of 4.50 will yield 5.50 for a $1 bet and 11.00 for a $2 bet")}) {
            label->setText(text);
            QCOMPARE(fairstake::FittedLabelSize(label), label->sizeHint());
        }
    }
}

void TestCalculator::applicationIconAfterFirstPaint() {
    const QList<QSize> sizes = {QSize(16, 16), QSize(32, 32),   QSize(48, 48),
                                QSize(64, 64), QSize(128, 128), QSize(256, 256)};
    // The window is painted first; the icon follows at once.
    QApplication::setWindowIcon(QIcon());
    {
        TfrmJeuGagnant w(u'.');
        InstallApplicationIcon(&w);
        QCoreApplication::processEvents();
        QVERIFY(QApplication::windowIcon().isNull());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::windowIcon().availableSizes(), sizes, 500);
        QCOMPARE(w.windowIcon().availableSizes(), sizes);
    }
    // A window that is never painted still gets it, a little later.
    QApplication::setWindowIcon(QIcon());
    TfrmJeuGagnant hidden(u'.');
    InstallApplicationIcon(&hidden);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::windowIcon().availableSizes(), sizes, 3000);
}

QTEST_MAIN(TestCalculator)
#include "test_calculator.moc"
