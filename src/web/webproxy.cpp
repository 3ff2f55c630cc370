#include "web/webproxy.h"

#include "paths/installedfiles.h"
#include "web/protocol.h"

#include <QCoreApplication>
#include <QProcess>

namespace fairstake::web {

namespace {

// Ending the helper takes WebEngine's own shutdown; a helper still there after
// this is killed.
constexpr int kHelperEndMs = 3000;

// Beside the program in the build tree, in libexec/fairstake/ when installed.
QString DefaultHelperPath() {
    return paths::FindShippedFile(QCoreApplication::applicationDirPath(), QStringLiteral("fairstake-web"),
                                  paths::WebHelperDirs(), paths::FileKind::Executable);
}

} // namespace

TfrmWWWProxy::TfrmWWWProxy(QObject* parent)
    : QObject(parent), helperPath_(DefaultHelperPath()), address_(QStringLiteral("http://www.")) {
    setObjectName(QStringLiteral("frmWWW"));
}

TfrmWWWProxy::~TfrmWWWProxy() {
    if (!process_) return;
    process_->disconnect(this);
    if (process_->state() != QProcess::NotRunning) {
        process_->closeWriteChannel();
        if (!process_->waitForFinished(kHelperEndMs)) {
            process_->kill();
            process_->waitForFinished(kHelperEndMs);
        }
    }
}

void TfrmWWWProxy::restore() {
    send(QStringLiteral("restore"));
}

void TfrmWWWProxy::setAddress(const QString& address) {
    address_ = address;
    addressPut_ = true;
    send(QStringLiteral("address ") + protocol::Escape(address));
}

void TfrmWWWProxy::show() {
    send(QStringLiteral("show"));
}

void TfrmWWWProxy::visitAddress() {
    send(QStringLiteral("visit"));
}

void TfrmWWWProxy::back() {
    send(QStringLiteral("back"));
}

void TfrmWWWProxy::forward() {
    send(QStringLiteral("forward"));
}

void TfrmWWWProxy::requestReport() {
    send(QStringLiteral("report"));
}

bool TfrmWWWProxy::helperRunning() const {
    return process_ && process_->state() == QProcess::Running;
}

qint64 TfrmWWWProxy::helperProcessId() const {
    return helperRunning() ? process_->processId() : 0;
}

void TfrmWWWProxy::send(const QString& line) {
    if (!process_) {
        // A fresh helper has a fresh window: give it back the address the old
        // one held, so that a lone visit still opens it.
        if (addressPut_ && !line.startsWith(QStringLiteral("address ")))
            queued_.append(QStringLiteral("address ") + protocol::Escape(address_));
        queued_.append(line);
        startHelper();
        return;
    }
    queued_.append(line);
    if (process_->state() == QProcess::Running) writeQueued();
}

void TfrmWWWProxy::startHelper() {
    process_ = new QProcess(this);
    // Chromium's own warnings go where the calculator's go.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::started, this, [this] {
        writeQueued();
        Q_EMIT helperStarted();
    });
    connect(process_, &QProcess::readyReadStandardOutput, this, &TfrmWWWProxy::readReports);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart || error == QProcess::Crashed) dropHelper();
    });
    connect(process_, &QProcess::finished, this, &TfrmWWWProxy::dropHelper);
    process_->start(helperPath_, {}, QIODevice::ReadWrite);
}

void TfrmWWWProxy::writeQueued() {
    QByteArray bytes;
    for (const QString& line : std::as_const(queued_))
        bytes += line.toUtf8() + '\n';
    queued_.clear();
    if (!bytes.isEmpty()) process_->write(bytes);
}

void TfrmWWWProxy::readReports() {
    partialReport_ += process_->readAllStandardOutput();
    qsizetype end;
    while ((end = partialReport_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(partialReport_.left(end));
        partialReport_.remove(0, end + 1);
        const protocol::Line report = protocol::Split(line);
        if (report.word == QStringLiteral("address")) address_ = protocol::Unescape(report.argument);
        Q_EMIT helperReported(line);
    }
}

// Both errorOccurred and finished may come for one ending; the first one drops it.
void TfrmWWWProxy::dropHelper() {
    if (!process_) return;
    QProcess* ended = process_;
    process_ = nullptr;
    queued_.clear();
    partialReport_.clear();
    ended->disconnect(this);
    ended->deleteLater();
    Q_EMIT helperEnded();
}

void OpenInBrowserWindow(TfrmWWWProxy& window, const QString& address) {
    window.restore();
    window.setAddress(address);
    window.show();
    QCoreApplication::processEvents();
    window.visitAddress();
}

} // namespace fairstake::web
