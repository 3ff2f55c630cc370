#include "help/helprouter.h"

#include "help/helpviewer.h"

#include <QApplication>
#include <QWidget>

namespace fairstake::help {

namespace {

THelpRouter* instance = nullptr;

} // namespace

THelpRouter::THelpRouter(QWidget* owner) : QObject(owner), owner_(owner), viewer_(&WinHelp) {
    if (instance) throw RouterError("Multiple instances of THelpRouter are not allowed");
    instance = this;
    previous_ = applicationHelpHandler();
    setApplicationHelpHandler([this](unsigned command, quintptr data, bool& callHelp) {
        return routeHelp(command, data, callHelp);
    });
}

THelpRouter::~THelpRouter() {
    setApplicationHelpHandler(previous_);
    instance = nullptr;
}

bool THelpRouter::routeHelp(unsigned command, quintptr data, bool& callHelp) {
    bool result = false;
    if (previous_) result = previous_(command, data, callHelp);
    if (callHelp && onHelp_) result = onHelp_(command, data, callHelp);
    if (callHelp) {
        const QString file = chosenHelpFile();
        if (command == 0)
            result = true;
        else
            result = viewer_(viewerWindow(), file, command, data);
    }
    callHelp = false;
    return result;
}

QString THelpRouter::chosenHelpFile() const {
    QString file = helpFile_;
    if (file.isEmpty())
        if (const QWidget* active = QApplication::activeWindow())
            file = active->property("helpFile").toString();
    if (file.isEmpty()) file = applicationHelpFile();
    return WithHelpExtension(file);
}

QWidget* THelpRouter::viewerWindow() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return owner_ ? owner_->window() : nullptr;
}

QString WithHelpExtension(const QString& file) {
    const qsizetype nameStart = qMax(file.lastIndexOf(u'/'), file.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = file.lastIndexOf(u'.');
    const QString stem = dot >= nameStart ? file.left(dot) : file;
    return stem + QStringLiteral(".hlp");
}

} // namespace fairstake::help
