#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <utility>

namespace fairstake {

// Where a balloon of the given size goes so that the tip of its pointer sits
// on the mouse pointer and the balloon lies towards the centre of the screen:
// above the pointer in the lower half, below it in the upper half; extending
// to the right in the left half, to the left in the right half. The pointer's
// upright edge is 20 pixels in from the nearer side of the balloon.
QRect balloonPlacement(QPoint pointer, QSize size, QRect screen);

// The widest a balloon's text may wrap to, in pixels: an eighth of the screen
// width for a text of at most a quarter of the screen width in characters
// (each line counted with a two-character line break after it), a quarter of
// the screen width for a longer one.
int balloonMaxWidth(const QString& text, int screenWidth);

// A hint "title|text" splits at its first "|"; a hint without one is all
// text, under the application title.
std::pair<QString, QString> splitHint(const QString& hint, const QString& applicationTitle);

// Shows the tool tips of the whole application as balloons. In hint mode it
// filters the application's events: every tool tip request is taken away from
// the standard tool tip, and a widget with a tool tip gets a balloon at the
// mouse pointer, unless a balloon is already showing or that widget's balloon
// was the last one shown. When the hint under the pointer changes (the
// pointer moves to a widget with another tool tip, or to none, or the tool tip
// itself changes) the balloon closes and the last widget is forgotten, so
// coming back to it shows its balloon again. A click on the balloon closes it.
class BalloonHint : public QObject {
    Q_OBJECT

public:
    explicit BalloonHint(QObject* parent = nullptr);
    ~BalloonHint() override;

    void setHintMode(bool on);
    bool hintMode() const { return m_hintMode; }

    // Drawn at 32 x 32 pixels at the balloon's top left.
    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return m_picture; }

    // The title of hints that bring none of their own.
    void setApplicationTitle(const QString& title);
    QString applicationTitle() const { return m_applicationTitle; }

    // Shows the hint of control with the pointer's tip at globalPos (screen
    // coordinates). Returns false, showing nothing, for an empty hint, while
    // a balloon shows, or for the control whose balloon was shown last.
    bool showBalloon(QWidget* control, const QString& hint, QPoint globalPos);
    void closeBalloon();
    bool isShowing() const;

    // The balloon's own window while it exists (its accessible name is the
    // title and its accessible description the text), else null.
    QWidget* balloonWindow() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerOver(QWidget* widget);
    void hintUnderPointerChanged();
    bool isOwnWindow(const QWidget* widget) const;

    bool m_hintMode = false;
    QPixmap m_picture;
    QString m_applicationTitle;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_lastControl;
    // The widget under the pointer as the enter and leave events tell it,
    // and the hint in force there.
    QPointer<QWidget> m_underPointer;
    QString m_currentHint;
};

} // namespace fairstake
