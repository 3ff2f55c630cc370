#include "web/windowcommands.h"

#include "web/frmwww.h"
#include "web/protocol.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QWebEngineView>

namespace fairstake::web {

TWindowCommands::TWindowCommands(TfrmWWW& window, Report report)
    : QObject(&window), window_(window), report_(std::move(report)) {
    connect(window.editLeSite, &QLineEdit::textChanged, this,
            [this](const QString& text) { report_(QStringLiteral("address ") + protocol::Escape(text)); });
    connect(window.ie, &QWebEngineView::loadFinished, this, [this](bool ok) {
        report_(QStringLiteral("loaded %1 ").arg(ok ? 1 : 0) +
                protocol::Escape(window_.ie->url().toString()));
    });
}

void TWindowCommands::run(const QString& line) {
    const protocol::Line command = protocol::Split(line);
    const QString& word = command.word;
    if (word == QStringLiteral("restore")) {
        window_.setWindowState(window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    } else if (word == QStringLiteral("address")) {
        window_.editLeSite->setText(protocol::Unescape(command.argument));
    } else if (word == QStringLiteral("show")) {
        window_.show();
        window_.raise();
        window_.activateWindow();
        QCoreApplication::processEvents();
    } else if (word == QStringLiteral("visit")) {
        window_.VisitAddress();
    } else if (word == QStringLiteral("back")) {
        window_.btnGaucheWeb1Click();
    } else if (word == QStringLiteral("forward")) {
        window_.btnDroiteWeb1Click();
    } else if (word == QStringLiteral("report")) {
        reportWindow();
    }
}

void TWindowCommands::feed(const QByteArray& bytes) {
    pending_ += bytes;
    if (running_) return; // the outer call picks the new lines up
    running_ = true;
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (line.endsWith('\r')) line.chop(1);
        run(QString::fromUtf8(line));
    }
    running_ = false;
}

void TWindowCommands::reportWindow() {
    const QRect frame = window_.frameGeometry();
    report_(QStringLiteral("window %1 %2 %3 %4 %5 %6")
                .arg(frame.x())
                .arg(frame.y())
                .arg(window_.width())
                .arg(window_.height())
                .arg(window_.isVisible() ? 1 : 0)
                .arg(window_.isMinimized() ? 1 : 0));
}

} // namespace fairstake::web
