// What the window shows, at the scale the test runs at (CTest runs this program
// at 1x and at QT_SCALE_FACTOR=2): every text the horse says lies inside the
// white of its speech balloon, the total line stays clear of the balloon,
// wrapped captions show their last word, and odds kept in inactive boxes can be
// read.  The balloon is read from the background picture as it is drawn on the
// screen, so the check holds whatever the artwork or the font turns out to be.

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "calculator/frmjeugagnant.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "help/hovertexts.h"
#include "support/processlocale.h"

using namespace fairstake;

namespace {

// A pixel of the balloon's inside: white, or the JPEG's near-white.
bool insideBalloon(QRgb pixel) { return qRed(pixel) >= 0xF4 && qGreen(pixel) >= 0xF4 && qBlue(pixel) >= 0xF4; }

// Device pixels of the background behind a rectangle of client coordinates.
QRect deviceRect(const QRect& r, qreal dpr) {
    return QRect(QPoint(qFloor(r.left() * dpr), qFloor(r.top() * dpr)),
                 QPoint(qCeil((r.right() + 1) * dpr) - 1, qCeil((r.bottom() + 1) * dpr) - 1));
}

void hover(QWidget* control, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, control->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmJeuGagnant> w;
    QImage background;

    // The text's ink, one pixel around it included, in client coordinates.
    QRect helpTextRect() const {
        const QLabel* label = w->lblAide;
        const QRect text = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                             int(Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap),
                                                             label->text());
        return text.translated(label->pos() + label->contentsRect().topLeft()).adjusted(-1, -1, 1, 1);
    }

    // Points of r whose background is not the balloon's inside.
    int outside(const QRect& r) const {
        const QRect d = deviceRect(r, background.devicePixelRatio()) & background.rect();
        int count = d.isEmpty() ? 1 : 0;
        for (int y = d.top(); y <= d.bottom(); ++y)
            for (int x = d.left(); x <= d.right(); ++x) count += insideBalloon(background.pixel(x, y)) ? 0 : 1;
        return count;
    }

private Q_SLOTS:
    void initTestCase() {
        test::UseProcessLocale(U',');
        w = std::make_unique<TfrmJeuGagnant>(QChar(u','));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        background = w->imgBig->grab().toImage();
        QCOMPARE(background.devicePixelRatio(), w->devicePixelRatioF());
    }

    void hoverTextsLieInsideTheBalloon_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("x"); // pointer position in the control
        for (int i = 1; i <= 9; ++i) QTest::addRow("txtCote%d", i) << QStringLiteral("txtCote%1").arg(i) << 3;
        for (int x : {2, 17, 32, 50, 67, 85, 103, 123, 142}) QTest::addRow("imgBlanc at %d", x) << "imgBlanc" << x;
        for (const char* name :
             {"imgprofits", "Image1", "Command1", "btnExample", "txtArrondir", "btnRounditup", "chkNomore",
              "lblTotal_ex_Label19", "cmdRafraichir", "Cmdrafraichirbid", "imageradio", "txtTenths", "Image3",
              "imggauche", "imgDroite", "imgracetracks", "imgBig"})
            QTest::newRow(name) << name << 3;
    }
    void hoverTextsLieInsideTheBalloon() {
        QFETCH(QString, control);
        QFETCH(int, x);
        auto* target = w->findChild<QWidget*>(control);
        QVERIFY(target);
        w->setHelpText(QString());
        hover(target, QPoint(x, 3));
        QVERIFY2(!w->lblAide->text().isEmpty(), qPrintable(control));
        QCOMPARE(outside(helpTextRect()), 0);
    }

    void handlerTextsLieInsideTheBalloon() {
        for (const QString& text : {help::LossRecoveryText(), help::DisplayModeText(), help::RoundUpText(),
                                    help::RoundDownText(), help::RoundByValueText(), help::ThresholdText()}) {
            w->setHelpText(text);
            QVERIFY2(outside(helpTextRect()) == 0, qPrintable(text));
        }
    }

    // The long total line asks for a refresh; it must not run into the balloon.
    void totalLineStaysClearOfTheBalloon() {
        // Odds typed into box 5 leave the line as the odds handler wrote it.
        w->Option1->setItemIndex(4);
        w->txtCote[4]->setText(QStringLiteral("4"));
        const QLabel* total = w->lblTotal_ex_Label19;
        QCOMPARE(total->text(), QStringLiteral("Total amount to bet (click the REFRESH button)"));
        const QRect ink = total->fontMetrics().boundingRect(total->text()).translated(total->pos());
        QVERIFY2(ink.right() < 366, qPrintable(QString::number(ink.right())));
        QVERIFY(total->fontInfo().pixelSize() >= 11);
        const QRect line = total->geometry();
        int balloon = 0;
        const QRect d = deviceRect(line, background.devicePixelRatio()) & background.rect();
        for (int y = d.top(); y <= d.bottom(); ++y)
            for (int x = d.left(); x <= d.right(); ++x) balloon += insideBalloon(background.pixel(x, y)) ? 1 : 0;
        QCOMPARE(balloon, 0);
    }

    // A wrapped caption that needed more lines than its box holds would lose its
    // last word ("on the 3rd horse" read "on the 3rd").
    void captionsShowWhole() {
        for (const ControlSpec& s : CalculatorControls()) {
            if (s.kind != ControlSpec::Kind::WrapLabel || s.h == 0) continue;
            const auto* label = w->findChild<QLabel*>(QString::fromLatin1(s.name));
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), s.name);
            QVERIFY2(label->fontInfo().pixelSize() >= 9, s.name);
        }
    }

    // Example 3 after example 2 keeps "5" and "8" in boxes 3 and 4, disabled:
    // grey on silver, at least as dark as the classic desktop's grey.
    void keptOddsReadable() {
        w->btnExample2->click();
        w->btnExample3->click();
        for (int box : {3, 4}) {
            QLineEdit* edit = w->txtCote[std::size_t(box - 1)];
            QVERIFY(!edit->isEnabled() && !edit->text().isEmpty());
            const QImage shown = edit->grab().toImage();
            int darkest = 255;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) darkest = std::min(darkest, qGray(shown.pixel(x, y)));
            QVERIFY2(darkest <= 0x80, qPrintable(QString::number(darkest, 16)));
            QCOMPARE(edit->palette().color(QPalette::Disabled, QPalette::Base), QColor(0xC0C0C0));
        }
    }
};

QTEST_MAIN(TestAppearance)
#include "test_appearance.moc"
