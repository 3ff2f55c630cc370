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
// cannot be started, dies, or does not answer leaves a cause behind
// (takeFailure) for the calculator to show.
//
// The proxy owns the browser's scratch folder (fairstake-web-XXXXXX in the
// temporary folder): it makes it for each helper, hands it over on the command
// line, and removes it as soon as the helper has ended, however it ended.

#include "web/protocol.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class QProcess;
class QTemporaryDir;

namespace fairstake::web {

class TfrmWWWProxy : public QObject {
    Q_OBJECT

public:
    explicit TfrmWWWProxy(QObject* parent = nullptr);
    // Closes the helper's stdin, which ends it; waits briefly for it to go,
    // kills it if it has not, and removes its scratch folder.
    ~TfrmWWWProxy() override;

    void restore();
    void setAddress(const QString& address);
    void show();
    void visitAddress();
    void back();
    void forward();
    // Asks the helper for a "window" report (through helperReported).  A
    // helper that neither answers nor says "ready" within the answer time is
    // taken for hung and stopped.
    void requestReport();

    // Why the last helper ended without being asked to, once: the text for a
    // message to the user; empty when nothing went wrong since the last call.
    // A helper that could not be started is not tried again before this call.
    QString takeFailure() {
        refused_ = false;
        return std::exchange(failure_, QString());
    }
    void setAnswerTimeout(int ms) { answerTimeoutMs_ = ms; }

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
    void dropHelper(const QString& failure);
    void expectAnswer();
    void answered();
    void answerOverdue();

    QString helperPath_;
    QString address_;
    bool addressPut_ = false;
    QProcess* process_ = nullptr;
    std::unique_ptr<QTemporaryDir> scratch_;
    QStringList queued_;
    protocol::LineBuffer reports_{"fairstake: a report line of fairstake-web over 1 MiB was dropped"};
    QString failure_;
    bool refused_ = false;
    // Answers the helper owes ("ready", then one "window" per report asked for).
    int awaiting_ = 0;
    int answerTimeoutMs_;
    QTimer answerTimer_;
};

// Restores the window, puts the address into its address box, shows it without
// blocking the calculator, lets pending events run, then visits the address;
// then asks the helper to answer, so that a hung helper is noticed.
void OpenInBrowserWindow(TfrmWWWProxy& window, const QString& address);

} // namespace fairstake::web
