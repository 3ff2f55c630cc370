#pragma once
// The helper's side of the line protocol (web/protocol.h): runs the
// calculator's commands on the window and writes the window's reports.

#include "web/protocol.h"

#include <QObject>
#include <QString>
#include <functional>

namespace fairstake::web {

class TfrmWWW;

class TWindowCommands : public QObject {
public:
    using Report = std::function<void(const QString& line)>;

    // Reports the address box text and every finished load from now on.
    TWindowCommands(TfrmWWW& window, Report report);

    // One command line, without its line end.  Unknown commands are ignored.
    void run(const QString& line);
    // Bytes as they come from the channel; complete lines are run in order.
    // Lines that arrive while a command lets events run wait for it to end.
    // A line over protocol::LineBuffer::kMaxLine bytes is dropped unread.
    void feed(const QByteArray& bytes);
    int droppedLines() const { return lines_.dropped(); }

private:
    void reportWindow();

    TfrmWWW& window_;
    Report report_;
    protocol::LineBuffer lines_{"fairstake-web: a command line over 1 MiB was dropped"};
    bool running_ = false;
};

} // namespace fairstake::web
