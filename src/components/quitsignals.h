#pragma once

#include <QObject>
#include <functional>

namespace fairstake {

// The signals that end a desktop program without asking it: SIGTERM (the
// session ends, `kill`), SIGHUP (the terminal or the session goes) and SIGINT
// (Ctrl+C).  Their handler only writes the signal's number into a pipe; the
// event loop of the calling thread reads it and runs `quit` there, where any
// work may be done.  A signal the process was started ignoring (nohup, a
// background job) stays ignored.  `quit` runs at each wake-up of the loop that
// finds signals noted (once for several that came together), while `context`
// lives.  The handlers stay for the process's life; call this once.
void OnQuitSignals(QObject* context, std::function<void()> quit);

} // namespace fairstake
