#pragma once
// HelpRouter1: takes over the application's help requests and hands them to the
// viewer (help/helpviewer.h).  One per application; it puts the previous handler
// back when it goes.

#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>

class QWidget;

namespace fairstake::help {

// Raised by a second THelpRouter; its what() is the message for the user.
class RouterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THelpRouter : public QObject {
public:
    using HelpEvent = std::function<bool(unsigned command, quintptr data, bool& callHelp)>;
    using Viewer =
        std::function<bool(QWidget* window, const QString& helpFile, unsigned command, quintptr data)>;

    // owner: the window whose handle stands in when no window is active (the
    // calculator window); the router is destroyed with it.
    // Raises RouterError("Multiple instances of THelpRouter are not allowed")
    // while another router exists.
    explicit THelpRouter(QWidget* owner);
    ~THelpRouter() override;

    // The router's own help file; empty (the program's setting) means "choose".
    QString helpFile() const { return helpFile_; }
    void setHelpFile(const QString& file) { helpFile_ = file; }
    // The router's own event, run after the previous handler while callHelp is set.
    void setOnHelp(HelpEvent event) { onHelp_ = std::move(event); }
    // The viewer called for each command; WinHelp unless replaced.
    void setViewer(Viewer viewer) { viewer_ = std::move(viewer); }

    // The installed handler: previous handler, own event, file choice, viewer call.
    bool routeHelp(unsigned command, quintptr data, bool& callHelp);
    // The router's file, else the active window's "helpFile", else the application
    // help file; with its extension replaced by ".hlp".
    QString chosenHelpFile() const;

private:
    QWidget* viewerWindow() const;

    QWidget* owner_;
    QString helpFile_;
    HelpEvent onHelp_;
    Viewer viewer_;
    std::function<bool(unsigned, quintptr, bool&)> previous_;
};

// "folder/name.ext" -> "folder/name.hlp"; a name without an extension gets one.
QString WithHelpExtension(const QString& file);

} // namespace fairstake::help
