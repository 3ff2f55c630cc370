// fairstake-web: the browser window of the calculator, in a process of its own
// so that the calculator never loads Qt WebEngine.  It reads commands on stdin
// and writes reports on stdout (web/protocol.h), and it ends when stdin ends:
// when the calculator closes the channel, ends or is killed.

#include "components/artwork.h"
#include "components/balloonhint.h"
#include "help/contexthelp.h"
#include "help/helprouter.h"
#include "help/helpviewer.h"
#include "web/frmwww.h"
#include "web/windowcommands.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QSocketNotifier>
#include <cerrno>
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

} // namespace

int main(int argc, char** argv) {
    // Both before the application object exists: WebEngine needs the shared
    // OpenGL context, and the shader cache would otherwise be written to
    // ~/.cache/qtshadercache-* under X11.
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // A report written after the calculator has gone must not kill us before
    // we have seen the end of stdin and shut WebEngine down.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fairstake"));
    // Closing the window only hides it; the helper ends with its channel.
    QApplication::setQuitOnLastWindowClosed(false);
    fairstake::help::setApplicationHelpFile(fairstake::help::InstalledHelpFile());

    fairstake::web::TfrmWWW window;
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

    WriteReport(QStringLiteral("ready"));
    return app.exec();
}
