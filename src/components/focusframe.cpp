#include "components/focusframe.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace fairstake {

FocusFrame::FocusFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusFrame::watch(QWidget* control) {
    m_watched.emplace_back(control);
    if (control->hasFocus()) follow(control);
}

void FocusFrame::follow(QWidget* focused) {
    const bool watched = std::any_of(m_watched.begin(), m_watched.end(),
                                     [focused](const QPointer<QWidget>& w) { return w && w == focused; });
    if (!watched) {
        m_framed = nullptr;
        hide();
        return;
    }
    m_framed = focused;
    setGeometry(focused->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
    raise();
    show();
    update();
}

void FocusFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Dark dots on light pixels and light ones on dark: seen on any background.
    QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(palette().color(QPalette::Base), 1));
    painter.drawRect(frame);
    painter.setPen(pen);
    painter.drawRect(frame);
}

} // namespace fairstake
