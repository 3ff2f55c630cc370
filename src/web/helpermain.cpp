// fairstake-web: the browser window of the calculator, in a process of its own
// so that the calculator never loads Qt WebEngine.  It reads commands on stdin
// and writes reports on stdout (web/protocol.h), and it ends when stdin ends:
// when the calculator closes the channel, ends or is killed.
//
//   fairstake-web [--profile-folder FOLDER]
//
// FOLDER, made and removed by the calculator, takes what WebEngine writes for
// its off-the-record profile; without it the window makes its own.  The helper
// removes FOLDER itself when it ends (the calculator may have been killed), and
// ends on SIGTERM, SIGHUP and SIGINT as on the end of stdin.

#include "components/artwork.h"
#include "components/balloonhint.h"
#include "components/quitsignals.h"
#include "help/contexthelp.h"
#include "help/helprouter.h"
#include "help/helpviewer.h"
#include "web/frmwww.h"
#include "web/protocol.h"
#include "web/windowcommands.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QIcon>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <csignal>
#include <unistd.h>

namespace {

void WriteReport(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // the calculator is gone; stdin's end follows
        written += n;
    }
}

// Removes the scratch folder once everything else has ended, WebEngine's own
// shutdown with the application object included.  Only a folder the calculator
// made for a helper is removed, never another one named on the command line.
class ScratchRemoval {
public:
    explicit ScratchRemoval(const QString& folder)
        : folder_(fairstake::web::protocol::IsScratchFolder(folder) ? folder : QString()) {}
    ~ScratchRemoval() {
        if (!folder_.isEmpty()) QDir(folder_).removeRecursively();
    }
    ScratchRemoval(const ScratchRemoval&) = delete;
    ScratchRemoval& operator=(const ScratchRemoval&) = delete;

private:
    QString folder_;
};

} // namespace

int main(int argc, char** argv) {
    // Our own option comes out of the arguments before Qt and Chromium see them.
    QString profileFolder;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--profile-folder") != 0) continue;
        profileFolder = QString::fromLocal8Bit(argv[i + 1]);
        std::copy(argv + i + 2, argv + argc + 1, argv + i); // argv[argc] is the null pointer
        argc -= 2;
        break;
    }
    // Before the application object exists: WebEngine needs the shared OpenGL
    // context, and no shader cache may be written under the user's home.
    fairstake::web::PrepareWebEngineProcess();
    fairstake::web::RunWithoutSandboxAsRoot();
    // A report written after the calculator has gone must not kill us before
    // we have seen the end of stdin and shut WebEngine down.
    std::signal(SIGPIPE, SIG_IGN);

    const ScratchRemoval removal(profileFolder);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fairstake"));
    // Closing the window only hides it; the helper ends with its channel.
    QApplication::setQuitOnLastWindowClosed(false);
    fairstake::help::setApplicationHelpFile(fairstake::help::InstalledHelpFile());

    fairstake::web::TfrmWWW window(nullptr, profileFolder);
    // The address box's hint shows as a balloon under the application title.
    fairstake::BalloonHint balloon;
    balloon.setApplicationTitle(QStringLiteral("Fairstake"));
    balloon.setPicture(fairstake::ArtworkPixmap(QStringLiteral(":/img/balloon_icon.png"), window.devicePixelRatio()));
    balloon.setHintMode(true);
    fairstake::help::THelpRouter router(&window);
    // The web window never loses its context-help button: requests are pop-ups.
    fairstake::help::ContextHelp::install(&window, [] { return true; });
    auto* commands = new fairstake::web::TWindowCommands(window, WriteReport);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, commands, [&input, commands] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (n <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        commands->feed(QByteArray(buffer, qsizetype(n)));
    });

    fairstake::OnQuitSignals(&app, [] { QCoreApplication::quit(); });

    WriteReport(QStringLiteral("ready"));
    return app.exec();
}
