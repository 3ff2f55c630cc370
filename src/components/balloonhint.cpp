#include "components/balloonhint.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRegion>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace fairstake {

namespace {

// The pointer is a right-angled triangle this many pixels high and wide.
constexpr int kPointer = 20;
// The tip lies this many pixels inside a balloon that hangs below it.
constexpr int kTipInset = 2;
constexpr int kMargin = 8;
constexpr int kPictureSize = 32;
constexpr int kTitleGap = 4;
// Corner ellipse 7 x 7.
constexpr qreal kCornerRadius = 3.5;
constexpr int kMinBodyWidth = 3 * kPointer;

struct Side {
    bool above;
    bool right;
};

Side sideTowardsCentre(QPoint pointer, QRect screen) {
    const int x = pointer.x() - screen.left();
    const int y = pointer.y() - screen.top();
    return {y > screen.height() / 2, x <= screen.width() / 2};
}

QFont balloonFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString withPlainLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The widget whose tool tip is in force at widget: the nearest one up to its
// window that has a tool tip.
QString hintAt(const QWidget* widget) {
    for (; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (!widget->toolTip().isEmpty()) return widget->toolTip();
    }
    return {};
}

class BalloonWindow : public QWidget {
public:
    BalloonWindow(const QString& title, const QString& text, const QPixmap& picture, int maxTextWidth)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint),
          m_title(title),
          m_text(withPlainLineBreaks(text)),
          m_picture(picture),
          m_titleFont(balloonFont(13, true)),
          m_textFont(balloonFont(11, false)) {
        setObjectName(QStringLiteral("balloonHint"));
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAccessibleName(title);
        setAccessibleDescription(m_text);

        const QFontMetrics titleMetrics(m_titleFont);
        const QFontMetrics textMetrics(m_textFont);
        const int columnLeft = kMargin + (m_picture.isNull() ? 0 : kPictureSize + kMargin);
        int y = kMargin;
        if (!m_title.isEmpty()) {
            m_titleRect = QRect(columnLeft, y, titleMetrics.horizontalAdvance(m_title), titleMetrics.height());
            y += m_titleRect.height() + kTitleGap;
        }
        if (!m_text.isEmpty()) {
            m_textRect = textMetrics.boundingRect(QRect(columnLeft, y, std::max(1, maxTextWidth), 1 << 20),
                                                  Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
            m_textRect.moveTopLeft(QPoint(columnLeft, y));
        }
        const int columnWidth = std::max(m_titleRect.width(), m_textRect.width());
        const int columnBottom = std::max(m_titleRect.bottom(), m_textRect.bottom()) + 1;
        const int pictureBottom = m_picture.isNull() ? 0 : kMargin + kPictureSize;
        m_bodySize = QSize(std::max(kMinBodyWidth, columnLeft + columnWidth + kMargin),
                           std::max({columnBottom, pictureBottom, kMargin}) + kMargin);
        resize(m_bodySize.width(), m_bodySize.height() + kPointer + kTipInset);
        setSide({false, true});
    }

    void setSide(Side side) {
        m_side = side;
        QPainterPathStroker stroker;
        stroker.setWidth(2);
        const QPainterPath shape = outline();
        // Edge pixels are only partly covered; keep them inside the mask so
        // the smoothing shows where the window system can blend it.
        setMask(QRegion(shape.united(stroker.createStroke(shape)).toFillPolygon().toPolygon(), Qt::WindingFill));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.setBrush(palette().color(QPalette::ToolTipBase));
        painter.drawPath(outline());

        const QPoint body(0, bodyTop());
        if (!m_picture.isNull()) {
            painter.drawPixmap(QRect(body + QPoint(kMargin, kMargin), QSize(kPictureSize, kPictureSize)), m_picture);
        }
        if (!m_title.isEmpty()) {
            painter.setFont(m_titleFont);
            painter.setPen(QColor(0x80, 0x80, 0x80));
            painter.drawText(m_titleRect.translated(body), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_title);
        }
        if (!m_text.isEmpty()) {
            painter.setFont(m_textFont);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(m_textRect.translated(body), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_text);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        close();
    }

private:
    // The body hangs below the pointer or stands above it; either way the
    // window keeps the same height, the inset rows lying on the far side.
    int bodyTop() const { return m_side.above ? kTipInset : kTipInset + kPointer; }

    QPainterPath outline() const {
        const qreal top = bodyTop();
        QPainterPath path;
        path.addRoundedRect(QRectF(0.5, top + 0.5, width() - 1.0, m_bodySize.height() - 1.0), kCornerRadius,
                            kCornerRadius);

        const qreal tipX = m_side.right ? kPointer : width() - kPointer;
        const qreal farX = m_side.right ? tipX + kPointer : tipX - kPointer;
        const qreal tipY = m_side.above ? height() : kTipInset;
        const qreal baseY = m_side.above ? top + m_bodySize.height() - 0.5 : top + 0.5;
        // One pixel into the body, so that the union leaves no seam where
        // the pointer meets the rectangle's border.
        const qreal innerY = m_side.above ? baseY - 1 : baseY + 1;
        QPainterPath pointer;
        pointer.addPolygon(QPolygonF{{tipX, tipY}, {tipX, innerY}, {farX, innerY}, {farX, baseY}, {tipX, tipY}});
        return path.united(pointer);
    }

    QString m_title;
    QString m_text;
    QPixmap m_picture;
    QFont m_titleFont;
    QFont m_textFont;
    QRect m_titleRect;
    QRect m_textRect;
    QSize m_bodySize;
    Side m_side{false, true};
};

} // namespace

QRect balloonPlacement(QPoint pointer, QSize size, QRect screen) {
    const Side side = sideTowardsCentre(pointer, screen);
    const int left = side.right ? pointer.x() - kPointer : pointer.x() - (size.width() - kPointer);
    const int top = side.above ? pointer.y() - size.height() : pointer.y() - kTipInset;
    return QRect(QPoint(left, top), size);
}

int balloonMaxWidth(const QString& text, int screenWidth) {
    // Every line counts with a CR LF after it, however the text breaks its
    // lines; a break at the very end starts no further line.
    qsizetype count = 0;
    qsizetype pos = 0;
    const qsizetype length = text.size();
    while (pos < length) {
        qsizetype brk = pos;
        while (brk < length && text[brk] != QLatin1Char('\r') && text[brk] != QLatin1Char('\n')) ++brk;
        count += brk - pos + 2;
        if (brk == length) break;
        pos = brk + 1;
        if (text[brk] == QLatin1Char('\r') && pos < length && text[pos] == QLatin1Char('\n')) ++pos;
    }
    return count <= screenWidth / 4 ? screenWidth / 8 : screenWidth / 4;
}

std::pair<QString, QString> splitHint(const QString& hint, const QString& applicationTitle) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0) return {applicationTitle, hint};
    return {hint.left(bar), hint.mid(bar + 1)};
}

BalloonHint::BalloonHint(QObject* parent) : QObject(parent) {}

BalloonHint::~BalloonHint() {
    setHintMode(false);
    delete m_window.data();
}

void BalloonHint::setHintMode(bool on) {
    if (on == m_hintMode) return;
    m_hintMode = on;
    if (on) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        closeBalloon();
    }
}

void BalloonHint::setPicture(const QPixmap& picture) { m_picture = picture; }

void BalloonHint::setApplicationTitle(const QString& title) { m_applicationTitle = title; }

bool BalloonHint::showBalloon(QWidget* control, const QString& hint, QPoint globalPos) {
    if (hint.isEmpty() || isShowing() || (control && control == m_lastControl)) return false;

    const auto [title, text] = splitHint(hint, m_applicationTitle);
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen && control) screen = control->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);

    auto* window = new BalloonWindow(title, text, m_picture, balloonMaxWidth(text, screenRect.width()));
    window->setSide(sideTowardsCentre(globalPos, screenRect));
    window->setGeometry(balloonPlacement(globalPos, window->size(), screenRect));
    m_window = window;
    m_lastControl = control;
    // A window of its own, but tied to the control's window: on Wayland a
    // pop-up exists only beside a parent (without one it would become a
    // free-standing window placed by the compositor), and there its position
    // is relative to that parent.
    if (control) {
        window->winId();
        if (QWindow* parent = control->window()->windowHandle()) window->windowHandle()->setTransientParent(parent);
    }
    window->show();
    return true;
}

void BalloonHint::closeBalloon() {
    if (m_window) m_window->close();
}

bool BalloonHint::isShowing() const { return m_window && m_window->isVisible(); }

bool BalloonHint::isOwnWindow(const QWidget* widget) const {
    return m_window && (widget == m_window || m_window->isAncestorOf(widget));
}

void BalloonHint::pointerOver(QWidget* widget) {
    m_underPointer = widget;
    hintUnderPointerChanged();
}

void BalloonHint::hintUnderPointerChanged() {
    const QString hint = hintAt(m_underPointer);
    if (hint == m_currentHint) return;
    m_currentHint = hint;
    closeBalloon();
    m_lastControl = nullptr;
}

// The filter is installed on the whole application, so in the browser helper it
// also sees Qt WebEngine's objects and events, which are built without RTTI as
// Chromium is; UBSan's vptr check finds no type behind their vtables and would
// stop on every call.  Only that check is off here, and only in this function.
[[gnu::no_sanitize("vptr")]] bool BalloonHint::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::ToolTip: {
        if (isOwnWindow(widget)) return true;
        const QString hint = widget->toolTip();
        if (hint.isEmpty()) {
            // Refused here, the request goes on to the parent, which passes
            // through this filter in turn; the standard tool tip never sees it.
            event->ignore();
            return true;
        }
        // A request can come before any enter event has told where the
        // pointer is (a widget shown under a resting pointer).
        pointerOver(widget);
        showBalloon(widget, hint, static_cast<QHelpEvent*>(event)->globalPos());
        event->accept();
        return true;
    }
    case QEvent::Enter:
        if (!isOwnWindow(widget)) pointerOver(widget);
        break;
    case QEvent::Leave:
        // A balloon that appears under the pointer takes it from the widget;
        // that is no move to another widget.
        if (isOwnWindow(widget) || (isShowing() && m_window->geometry().contains(QCursor::pos()))) break;
        pointerOver(widget->isWindow() ? nullptr : widget->parentWidget());
        break;
    case QEvent::ToolTipChange:
        if (m_underPointer && (widget == m_underPointer || widget->isAncestorOf(m_underPointer))) {
            hintUnderPointerChanged();
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace fairstake
