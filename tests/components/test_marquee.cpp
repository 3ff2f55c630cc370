#include <QFontMetrics>
#include <QTest>

#include "components/marquee.h"
#include "suites.h"

using fairstake::Marquee;

class MarqueeTest : public QObject {
    Q_OBJECT

    static std::unique_ptr<Marquee> band(const QString& text) {
        auto m = std::make_unique<Marquee>();
        m->setFrameStyle(QFrame::Box | QFrame::Sunken);
        m->resize(120, 20);
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(13);
        m->setFont(f);
        m->setText(text);
        return m;
    }

private Q_SLOTS:
    void scrollsInFromTheRightOnePixelATick() {
        auto m = band(QStringLiteral("Hello\tworld"));
        QCOMPARE(m->text(), QStringLiteral("Hello world"));
        m->activate();
        QVERIFY(m->isTimerRunning());
        QCOMPARE(m->interval(), 20);
        const int width = m->contentsRect().width();
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
        QCOMPARE(m->pieceInView(), QStringLiteral("H"));
        QCOMPARE(m->nextIndex(), 2);
        m->tick();
        QCOMPARE(m->scrollX(), width - 2);
        // Deactivating forgets where it was; activating starts again at the right edge.
        m->deactivate();
        QVERIFY(!m->isTimerRunning() && !m->isStarted());
        m->activate();
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
    }

    void dropsCharactersThatLeftAndStartsAgain() {
        const QString text = QStringLiteral("ab  ");
        auto m = band(text);
        m->activate();
        const QFontMetrics metrics(m->font());
        const int width = m->contentsRect().width();
        const int textWidth = metrics.horizontalAdvance(text);
        // Until the text has left completely, the piece in view is never empty.
        int ticks = 0;
        while (ticks < width + textWidth - 1) {
            m->tick();
            ++ticks;
            QVERIFY2(!m->pieceInView().isEmpty(), qPrintable(QString::number(ticks)));
            // The first character in view is always at least partly visible.
            QVERIFY(m->scrollX() + metrics.horizontalAdvance(m->pieceInView().front()) > 0);
        }
        QCOMPARE(m->nextIndex(), int(text.size()) + 1);
        // The tick after the last blank has gone starts again from the right edge.
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
        QCOMPARE(m->pieceInView(), QStringLiteral("a"));
        QCOMPARE(m->nextIndex(), 2);
    }

    void emptyTextNeverStartsAndDisablingStops() {
        auto m = band(QString());
        m->activate();
        QVERIFY(m->isActive() && !m->isTimerRunning());
        m->setText(QStringLiteral("x"));
        QVERIFY(m->isTimerRunning());
        m->setEnabled(false);
        QVERIFY(!m->isTimerRunning());
        m->setEnabled(true);
        QVERIFY(m->isTimerRunning());
    }

    void paintsTheStripOrTheStaticText() {
        auto m = band(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
        QPalette p = m->palette();
        p.setColor(QPalette::Window, QColor(0xC0C0C0));
        p.setColor(QPalette::WindowText, Qt::black);
        m->setPalette(p);
        auto darkColumns = [](const QImage& image) {
            int dark = 0;
            for (int x = 2; x < image.width() - 2; ++x)
                for (int y = 2; y < image.height() - 2; ++y)
                    if (qGray(image.pixel(x, y)) < 100) {
                        ++dark;
                        break;
                    }
            return dark;
        };
        // Inactive: the beginning of the text from the left edge, across the band.
        const QImage still = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(darkColumns(still) > 90);
        // Active: after 10 ticks only the last 10 pixels or so show text.
        m->activate();
        for (int i = 0; i < 10; ++i) m->tick();
        const QImage moving = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int dark = darkColumns(moving);
        QVERIFY2(dark > 0 && dark <= 10, qPrintable(QString::number(dark)));
        QCOMPARE(QColor(moving.pixel(20, 10)), QColor(0xC0C0C0));
    }
};

std::unique_ptr<QObject> makeMarqueeTest() { return std::make_unique<MarqueeTest>(); }

#include "test_marquee.moc"
