// Linked into the benchmark builds of the program and of the reference window:
// on the first paint of the main window it prints one line,
//   painted <CLOCK_MONOTONIC nanoseconds> <VmHWM kB>
// and ends the process.  The program itself is unchanged: this file only adds
// a start-up function that Qt runs when the application object is created.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long peakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow() && widget->isVisible()) {
                done_ = true;
                const long long paintedAt = monotonicNs();
                // After this paint has been flushed, report and leave.
                QTimer::singleShot(0, [paintedAt] {
                    std::printf("painted %lld %ld\n", paintedAt, peakResidentKb());
                    std::fflush(stdout);
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    bool done_ = false;
};

void installProbe() { QCoreApplication::instance()->installEventFilter(new FirstPaint(QCoreApplication::instance())); }

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
