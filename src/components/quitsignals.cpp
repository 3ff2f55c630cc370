#include "components/quitsignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace fairstake {

namespace {

// The self-pipe: written by the signal handler, read on the event loop.
int pipeEnds[2] = {-1, -1};

void NoteSignal(int signal) {
    const int saved = errno; // the interrupted code may be about to read it
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1); // full pipe: already noted
    errno = saved;
}

} // namespace

void OnQuitSignals(QObject* context, std::function<void()> quit) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [quit = std::move(quit)] {
        unsigned char signals[64];
        ssize_t n;
        do n = ::read(pipeEnds[0], signals, sizeof signals);
        while (n == sizeof signals || (n < 0 && errno == EINTR));
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction previous = {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace fairstake
