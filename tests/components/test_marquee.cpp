#include "components/marquee.h"
#include "suites.h"

#include <QFontMetrics>
#include <QTest>

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
        QPalette p = m->palette();
        p.setColor(QPalette::Window, QColor(0xC0C0C0));
        p.setColor(QPalette::WindowText, Qt::black);
        m->setPalette(p);
        m->setText(text);
        return m;
    }

private Q_SLOTS:
    // In from the right edge one pixel a tick; the first character in view always
    // partly visible; once the whole text has left, again from the right edge.
    void scrolls() {
        QCOMPARE(band(QStringLiteral("a\tb\n"))->text(), QStringLiteral("a b "));
        auto m = band(QStringLiteral("ab  "));
        m->activate();
        QVERIFY(m->isTimerRunning() && m->interval() == 20);
        const QFontMetrics metrics(m->font());
        const int width = m->contentsRect().width();
        for (int tick = 1; tick < width + metrics.horizontalAdvance(m->text()); ++tick) {
            m->tick();
            if (tick == 1) QVERIFY(m->scrollX() == width - 1 && m->pieceInView() == QStringLiteral("a"));
            QVERIFY2(!m->pieceInView().isEmpty(), qPrintable(QString::number(tick)));
            QVERIFY(m->scrollX() + metrics.horizontalAdvance(m->pieceInView().front()) > 0);
        }
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
        QCOMPARE(m->nextIndex(), 2);
        // Deactivated it forgets where it was.
        m->deactivate();
        QVERIFY(!m->isTimerRunning() && !m->isStarted());
        m->activate();
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
    }

    // The timer runs only while active, enabled and with a text.
    void timer() {
        auto m = band(QString());
        m->activate();
        QVERIFY(m->isActive() && !m->isTimerRunning());
        QList<bool> running;
        m->setText(QStringLiteral("x"));
        running << m->isTimerRunning();
        m->setEnabled(false);
        running << m->isTimerRunning();
        m->setEnabled(true);
        running << m->isTimerRunning();
        QCOMPARE(running, (QList<bool>{true, false, true}));
    }

    // Inactive: the text's beginning across the band; active, after ten ticks,
    // only the last ten pixels or so.
    void paints() {
        auto m = band(QString(30, u'W'));
        auto darkColumns = [&] {
            const QImage image = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
            int dark = 0;
            for (int x = 2; x < image.width() - 2; ++x)
                for (int y = 2; y < image.height() - 2; ++y)
                    if (qGray(image.pixel(x, y)) < 100) {
                        ++dark;
                        break;
                    }
            return dark;
        };
        QVERIFY(darkColumns() > 90);
        m->activate();
        for (int i = 0; i < 10; ++i)
            m->tick();
        const int dark = darkColumns();
        QVERIFY2(dark > 0 && dark <= 10, qPrintable(QString::number(dark)));
    }
};

std::unique_ptr<QObject> makeMarqueeTest() {
    return std::make_unique<MarqueeTest>();
}

#include "test_marquee.moc"
