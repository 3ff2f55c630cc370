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
    using protocol::Command;
    const protocol::CommandLine command = protocol::ParseCommand(line);
    switch (command.command) {
    case Command::Restore:
        window_.setWindowState(window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        break;
    case Command::Address:
        window_.editLeSite->setText(command.argument);
        break;
    case Command::Show:
        window_.show();
        window_.raise();
        window_.activateWindow();
        QCoreApplication::processEvents();
        break;
    case Command::Visit:
        window_.VisitAddress();
        break;
    case Command::Back:
        window_.btnGaucheWeb1Click();
        break;
    case Command::Forward:
        window_.btnDroiteWeb1Click();
        break;
    case Command::Report:
        reportWindow();
        break;
    case Command::Unknown:
        break;
    }
}

void TWindowCommands::feed(const QByteArray& bytes) {
    lines_.append(bytes);
    if (running_) return; // the outer call picks the new lines up
    running_ = true;
    while (std::optional<QByteArray> line = lines_.takeLine()) {
        if (line->endsWith('\r')) line->chop(1);
        run(QString::fromUtf8(*line));
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
