#include "help/contexthelp.h"

#include "help/helpviewer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWhatsThis>
#include <QWidget>

namespace fairstake::help {

namespace {

int OwnContext(const QWidget* widget) {
    return widget->property("helpContext").toInt();
}

} // namespace

ContextHelp::ContextHelp(QWidget* window, std::function<bool()> popupMode)
    : QObject(window), window_(window), popupMode_(std::move(popupMode)) {
    // Application-wide, so that controls created later are covered too; only
    // events of this window's widgets are looked at.
    qApp->installEventFilter(this);
}

ContextHelp* ContextHelp::install(QWidget* window, std::function<bool()> popupMode) {
    return new ContextHelp(window, std::move(popupMode));
}

QWidget* ContextHelp::HelpControlFor(QWidget* control) {
    for (QWidget* widget = control; widget; widget = widget->parentWidget()) {
        const bool isLabel = qobject_cast<QLabel*>(widget) != nullptr;
        if (!isLabel && OwnContext(widget) != 0) return widget;
        if (widget->isWindow()) break;
    }
    return nullptr;
}

int ContextHelp::HelpContextOf(QWidget* control) {
    const QWidget* widget = HelpControlFor(control);
    return widget ? OwnContext(widget) : 0;
}

bool ContextHelp::requestHelp(QWidget* control) {
    QWidget* target = HelpControlFor(control);
    if (!target) return false;
    const int context = OwnContext(target);
    if (popupMode_ && popupMode_()) {
        ApplicationHelpCommand(HelpSetPopupPos, PackPopupPosition(target->mapToGlobal(QPoint(0, 0))));
        return ApplicationHelpCommand(HelpContextPopup, quintptr(context));
    }
    QString file = window_->property("helpFile").toString();
    if (file.isEmpty()) file = applicationHelpFile();
    return WinHelp(window_, file, HelpContext, quintptr(context));
}

bool ContextHelp::belongs(const QObject* object) const {
    return object->isWidgetType() && static_cast<const QWidget*>(object)->window() == window_;
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || !belongs(watched)) return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::NoModifier) {
            QWidget* focus = QApplication::focusWidget();
            requestHelp(focus && belongs(focus) ? focus : static_cast<QWidget*>(watched));
            return true;
        }
        if (modifiers == Qt::ShiftModifier) {
            QWhatsThis::enterWhatsThisMode();
            return true;
        }
        return false;
    }
    case QEvent::QueryWhatsThis:
        if (!belongs(watched)) return false;
        event->setAccepted(HelpControlFor(static_cast<QWidget*>(watched)) != nullptr);
        return true;
    case QEvent::WhatsThis:
        if (!belongs(watched)) return false;
        // Accepted, so that the click-a-control mode may end here, inside its own filter.
        event->accept();
        QWhatsThis::leaveWhatsThisMode();
        requestHelp(static_cast<QWidget*>(watched));
        return true;
    default:
        return false;
    }
}

} // namespace fairstake::help
