#pragma once
// frmWWW as the calculator sees it.  The browser window itself lives in the
// fairstake-web helper process (Qt WebEngine is never loaded into the
// calculator: it would cost start-up time and memory before any page is asked
// for).  This object stands for that window: each operation becomes one command
// line to the helper (web/protocol.h).
//
// The helper is started on the first operation, and started again by the next
// operation after it has died.  Starting does not wait: commands given before
// the process has started are queued and written once it runs.  A helper that
// cannot be started is ignored silently, as a failed link is.

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

namespace fairstake::web {

class TfrmWWWProxy : public QObject {
    Q_OBJECT

public:
    explicit TfrmWWWProxy(QObject* parent = nullptr);
    // Closes the helper's stdin, which ends it; waits briefly for it to go.
    ~TfrmWWWProxy() override;

    void restore();
    void setAddress(const QString& address);
    void show();
    void visitAddress();
    void back();
    void forward();
    // Asks the helper for a "window" report (through helperReported).
    void requestReport();

    // The address box text as last put or last reported by the helper;
    // "http://www." until then.
    QString address() const { return address_; }
    bool helperRunning() const;
    // The helper's process id while it runs, else 0.
    qint64 helperProcessId() const;

    // Default: fairstake-web beside the running program.
    void setHelperPath(const QString& path) { helperPath_ = path; }
    QString helperPath() const { return helperPath_; }

Q_SIGNALS:
    // Every report line of the helper, unescaped arguments included as sent.
    void helperReported(const QString& line);
    void helperStarted();
    void helperEnded();

private:
    void send(const QString& line);
    void startHelper();
    void writeQueued();
    void readReports();
    void dropHelper();

    QString helperPath_;
    QString address_;
    bool addressPut_ = false;
    QProcess* process_ = nullptr;
    QStringList queued_;
    QByteArray partialReport_;
};

// Restores the window, puts the address into its address box, shows it without
// blocking the calculator, lets pending events run, then visits the address.
void OpenInBrowserWindow(TfrmWWWProxy& window, const QString& address);

} // namespace fairstake::web
