#pragma once

#include <QFontMetrics>
#include <QPainter>
#include <QFrame>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <vector>

#include "components/screenstrip.h"

namespace fairstake {

// A one-line ticker that scrolls its text from right to left, one step of
// pixels per tick, once through and then again from the right edge.
//
// The whole text is drawn and measured once (every character on its own, and
// where each character boundary lies in the laid-out line); a tick only looks
// those widths up and repaints the one-line strip at once, the piece in view
// copied out of that drawing, so the band does not flicker and a tick measures
// and lays out nothing.  While its window is minimized or not exposed at all
// (unmapped, on another workspace) the timer is paused, not stopped: shown
// again, the text goes on from where it was.  tick() is public so that tests
// can step the ticker without a clock.
class Marquee : public QFrame {
    Q_OBJECT

public:
    explicit Marquee(QWidget* parent = nullptr);

    // Characters below code 32 become blanks; an active ticker starts again
    // from the right edge.
    void setText(const QString& text);
    QString text() const { return m_text; }

    void setInterval(int milliseconds);
    int interval() const { return m_timer.interval(); }
    void setStep(int pixels) { m_step = pixels; }
    int step() const { return m_step; }

    // Starts the timer when the ticker is enabled and has text (and runs it
    // while the window is on screen).
    void activate();
    // Stops the timer, forgets the scrolling state and paints the text statically.
    void deactivate();
    bool isActive() const { return m_active; }
    bool isTimerRunning() const { return m_timer.isActive(); }

    void tick();

    // The scrolling state, for tests: left edge of the piece in view in client
    // pixels, the 1-based index of the next character to bring in, the piece.
    int scrollX() const { return m_x; }
    int nextIndex() const { return m_nextIndex; }
    QString pieceInView() const { return m_piece; }
    bool isStarted() const { return m_started; }
    // The vertical offset of the strip in the band.
    int stripTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initialise();
    void updateTimer();
    bool onScreen() const;
    void watchWindow();
    int lineHeight() const;
    int pieceWidth();
    void renderText(qreal ratio);
    QRect stripRect() const;
    void drawPiece(QPainter& painter);
    bool pieceGeometry(QRect& target, int& sourceLeft) const;
    bool showOnScreen(qreal ratio);
    void paintStore();
    void dropScreen();

    QString m_text;
    QTimer m_timer;
    QString m_piece;
    // The piece's width is measured again only when the piece changes.
    int m_pieceWidth = -1;
    // The whole text drawn once, the x of every character boundary in it and
    // every character's own width.
    QPixmap m_textDrawing;
    std::vector<int> m_boundaries;
    std::vector<int> m_advances;
    mutable int m_lineHeight = -1;
    bool m_textTooWide = false;
    int m_step = 1;
    int m_x = 0;
    int m_nextIndex = 1;
    bool m_active = false;
    bool m_started = false;
    bool m_busy = false;
    // The strip's way straight to the screen, for the window it was made for.
    std::unique_ptr<ScreenStrip> m_screen;
    bool m_screenTried = false;
    bool m_painted = false;
    // Ticks have put on screen what the window's backing store does not hold yet.
    bool m_storeBehind = false;
    WId m_screenWindow = 0;
    qint64 m_screenPicture = 0;
    // The native window whose exposure pauses the timer, and the top-level
    // widget whose minimized state does.
    QPointer<QWindow> m_watchedWindow;
    QPointer<QWidget> m_watchedTop;
};

} // namespace fairstake
