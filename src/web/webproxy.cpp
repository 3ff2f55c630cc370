#include "web/webproxy.h"

#include "paths/installedfiles.h"
#include "web/protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace fairstake::web {

namespace {

// Ending the helper takes WebEngine's own shutdown; a helper still there after
// this is killed.
constexpr int kHelperEndMs = 3000;
// WebEngine takes a few seconds to start on a slow machine; a helper silent
// for this long is hung.
constexpr int kAnswerMs = 30000;

const QString kAgain = QStringLiteral(" The next link tries again.");

QString StartFailure(const QString& path, const QString& error) {
    const QFileInfo file(path);
    const QString why = !file.exists()       ? QStringLiteral("%1 is missing.").arg(path)
                        : !file.isExecutable() ? QStringLiteral("%1 is not a program.").arg(path)
                                               : QStringLiteral("%1 (%2).").arg(path, error);
    return QStringLiteral("The web browser could not be started: ") + why + kAgain;
}

// Beside the program in the build tree, in libexec/fairstake/ when installed.
QString DefaultHelperPath() {
    return paths::FindShippedFile(QCoreApplication::applicationDirPath(), QStringLiteral("fairstake-web"),
                                  paths::WebHelperDirs(), paths::FileKind::Executable);
}

} // namespace

TfrmWWWProxy::TfrmWWWProxy(QObject* parent)
    : QObject(parent), helperPath_(DefaultHelperPath()), address_(QStringLiteral("http://www.")),
      answerTimeoutMs_(kAnswerMs) {
    setObjectName(QStringLiteral("frmWWW"));
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, &TfrmWWWProxy::answerOverdue);
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
    scratch_.reset();
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
    if (process_) expectAnswer();
}

bool TfrmWWWProxy::helperRunning() const {
    return process_ && process_->state() == QProcess::Running;
}

qint64 TfrmWWWProxy::helperProcessId() const {
    return helperRunning() ? process_->processId() : 0;
}

void TfrmWWWProxy::send(const QString& line) {
    if (!process_) {
        if (refused_) return;
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
    // Checked here so that a missing helper is known before the link returns.
    // The rest of the operations until the failure is taken are dropped.
    if (!QFileInfo(helperPath_).isExecutable()) {
        queued_.clear();
        failure_ = StartFailure(helperPath_, {});
        refused_ = true;
        Q_EMIT helperEnded();
        return;
    }
    scratch_ = std::make_unique<QTemporaryDir>(protocol::ScratchFolderTemplate());
    process_ = new QProcess(this);
    // Chromium's own warnings go where the calculator's go.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::started, this, [this] {
        writeQueued();
        Q_EMIT helperStarted();
    });
    connect(process_, &QProcess::readyReadStandardOutput, this, &TfrmWWWProxy::readReports);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) dropHelper(StartFailure(helperPath_, process_->errorString()));
    });
    connect(process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        dropHelper(QStringLiteral("The web browser stopped unexpectedly: ") +
                   (status == QProcess::CrashExit ? QStringLiteral("it was killed by signal %1.").arg(code)
                                                  : QStringLiteral("it ended with exit status %1.").arg(code)) +
                   kAgain);
    });
    QStringList arguments;
    if (scratch_->isValid()) arguments << QStringLiteral("--profile-folder") << scratch_->path();
    // The helper owes its "ready".
    awaiting_ = 0;
    expectAnswer();
    process_->start(helperPath_, arguments, QIODevice::ReadWrite);
}

void TfrmWWWProxy::writeQueued() {
    QByteArray bytes;
    for (const QString& line : std::as_const(queued_))
        bytes += line.toUtf8() + '\n';
    queued_.clear();
    if (!bytes.isEmpty()) process_->write(bytes);
}

void TfrmWWWProxy::readReports() {
    reports_.append(process_->readAllStandardOutput());
    while (const std::optional<QByteArray> bytes = reports_.takeLine()) {
        const QString line = QString::fromUtf8(*bytes);
        const protocol::Line report = protocol::Split(line);
        if (report.word == QStringLiteral("address")) address_ = protocol::Unescape(report.argument);
        if (report.word == QStringLiteral("ready") || report.word == QStringLiteral("window")) answered();
        Q_EMIT helperReported(line);
        if (!process_) return; // a slot stopped it
    }
}

void TfrmWWWProxy::expectAnswer() {
    if (awaiting_++ == 0) answerTimer_.start(answerTimeoutMs_);
}

void TfrmWWWProxy::answered() {
    if (awaiting_ == 0) return;
    if (--awaiting_ == 0)
        answerTimer_.stop();
    else
        answerTimer_.start(answerTimeoutMs_); // the next answer gets its own time
}

void TfrmWWWProxy::answerOverdue() {
    if (!process_) return;
    QProcess* hung = process_;
    hung->disconnect(this); // its end is this failure, not a death of its own
    hung->kill();
    hung->waitForFinished(kHelperEndMs);
    dropHelper(QStringLiteral("The web browser did not answer for %1 seconds and was stopped.")
                   .arg(answerTimeoutMs_ / 1000.0) +
               kAgain);
}

// Both errorOccurred and finished may come for one ending; the first one drops it.
void TfrmWWWProxy::dropHelper(const QString& failure) {
    if (!process_) return;
    QProcess* ended = process_;
    process_ = nullptr;
    failure_ = failure;
    queued_.clear();
    reports_.clear();
    awaiting_ = 0;
    answerTimer_.stop();
    ended->disconnect(this);
    ended->deleteLater();
    scratch_.reset(); // the helper is gone, and its folder with it
    Q_EMIT helperEnded();
}

void OpenInBrowserWindow(TfrmWWWProxy& window, const QString& address) {
    window.restore();
    window.setAddress(address);
    window.show();
    QCoreApplication::processEvents();
    window.visitAddress();
    window.requestReport();
}

} // namespace fairstake::web
