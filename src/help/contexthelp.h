#pragma once
// Context help for one window.  F1 asks for help on the focused control; Shift+F1
// or the window manager's context-help button (Qt::WindowContextHelpButtonHint,
// where the window manager offers one) enters the click-a-control mode.
//
// A control carries its help context number in the dynamic property
// "helpContext" (int, 0 = none); a control without one passes the request to its
// parent, and no help is shown when nothing up to the window has one.  Labels
// (pictures included) never take requests themselves: they pass them on.
//
// While popupMode() is true the request goes through the application help
// handler (the router): HelpSetPopupPos with the control's top-left corner, then
// HelpContextPopup.  Otherwise it opens the full topic in the help window,
// directly on the window's "helpFile" property or else the application help file.

#include <QObject>
#include <functional>

class QWidget;

namespace fairstake::help {

class ContextHelp : public QObject {
public:
    // The object lives as a child of window.
    static ContextHelp* install(QWidget* window, std::function<bool()> popupMode);

    // The control that answers a request on control: itself or its nearest parent
    // with a context number; nullptr when there is none.
    static QWidget* HelpControlFor(QWidget* control);
    // Its context number; 0 when none.
    static int HelpContextOf(QWidget* control);
    // The request on a control, as F1 makes it; true when help was shown.
    bool requestHelp(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ContextHelp(QWidget* window, std::function<bool()> popupMode);
    bool belongs(const QObject* object) const;

    QWidget* window_;
    std::function<bool()> popupMode_;
};

} // namespace fairstake::help
