// Google Benchmark over the real calculator window (offscreen): one keystroke
// in an odds box with its whole chain of recalculations, one step of the
// target scroll bar, one worked example.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "sheet/frmsheet.h"

using fairstake::TfrmJeuGagnant;

namespace {

TfrmJeuGagnant& window() {
    static std::unique_ptr<TfrmJeuGagnant> w = [] {
        auto created = std::make_unique<TfrmJeuGagnant>(QChar(u'.'));
        created->show();
        (void)QTest::qWaitForWindowExposed(created.get());
        return created;
    }();
    return *w;
}

void play(TfrmJeuGagnant& w, int runners) {
    QTest::mouseClick(w.Option1->button(runners - 1), Qt::LeftButton);
    for (int i = 0; i < runners; ++i) w.txtCote[static_cast<std::size_t>(i)]->setText(QString::number(3 + 2 * i));
}

// One iteration's work, kept out of line so that a profiler can be pointed at
// it alone: valgrind --tool=callgrind --toggle-collect='*typeTwoKeys*'.
// Without the event loop's turn after each key the window is not painted (the
// chain's own pending-event steps hold the repaint back until a turn of the
// loop that never comes), so only the handler chain is measured.
[[gnu::noinline]] void typeTwoKeys(QLineEdit* box, bool paint) {
    QTest::keyClick(box, Qt::Key_Backspace);
    if (paint) QCoreApplication::processEvents();
    QTest::keyClick(box, '7');
    if (paint) QCoreApplication::processEvents();
}

// Each iteration is two keystrokes in the last played box: a backspace and a
// digit, so the box alternates between "1" and "15"-like texts and every
// keystroke runs the full chain.
void keystrokes(benchmark::State& state, bool paint) {
    TfrmJeuGagnant& w = window();
    const int runners = static_cast<int>(state.range(0));
    play(w, runners);
    QLineEdit* box = w.txtCote[static_cast<std::size_t>(runners - 1)];
    box->setFocus();
    box->end(false);
    for (auto _ : state) typeTwoKeys(box, paint);
    state.SetItemsProcessed(2 * state.iterations());
    state.SetLabel("items = keystrokes");
    QCoreApplication::processEvents();
}

// With the event loop's turn after each key, which paints what the key changed.
void BM_OddsKeystroke(benchmark::State& state) { keystrokes(state, true); }
BENCHMARK(BM_OddsKeystroke)->Arg(1)->Arg(4)->Arg(9)->Unit(benchmark::kMicrosecond);

// The handler chain alone.
void BM_OddsKeystrokeHandler(benchmark::State& state) { keystrokes(state, false); }
BENCHMARK(BM_OddsKeystrokeHandler)->Arg(1)->Arg(4)->Arg(9)->Unit(benchmark::kMicrosecond);

// The same keystrokes with the race sheet opened once and then hidden (it must
// add nothing), or shown beside the calculator (it follows every keystroke).
// "computed" counts the sheet's computations per keystroke.
void keystrokesWithSheet(benchmark::State& state, bool shown, bool paint) {
    TfrmJeuGagnant& w = window();
    w.raceSheet->trigger();
    if (!shown) w.sheet()->close();
    // Without the event loop's turn the sheet's repaint for one key would run
    // inside the next key's chain (at its pending-event step): the handler
    // figure leaves it out, the figure with the repaint has it where it belongs.
    w.sheet()->setUpdatesEnabled(paint);
    QCoreApplication::processEvents();
    const int before = w.sheet()->computeCount();
    keystrokes(state, paint);
    state.counters["computed"] =
        benchmark::Counter((w.sheet()->computeCount() - before) / 2.0, benchmark::Counter::kAvgIterations);
    w.sheet()->setUpdatesEnabled(true);
    w.sheet()->close();
}
void BM_OddsKeystrokeHandlerSheetHidden(benchmark::State& state) { keystrokesWithSheet(state, false, false); }
BENCHMARK(BM_OddsKeystrokeHandlerSheetHidden)->Arg(9)->Unit(benchmark::kMicrosecond);
void BM_OddsKeystrokeHandlerSheetShown(benchmark::State& state) { keystrokesWithSheet(state, true, false); }
BENCHMARK(BM_OddsKeystrokeHandlerSheetShown)->Arg(9)->Unit(benchmark::kMicrosecond);
void BM_OddsKeystrokeSheetShown(benchmark::State& state) { keystrokesWithSheet(state, true, true); }
BENCHMARK(BM_OddsKeystrokeSheetShown)->Arg(9)->Unit(benchmark::kMicrosecond);

void BM_TargetScrollStep(benchmark::State& state) {
    TfrmJeuGagnant& w = window();
    play(w, 9);
    w.HScroll1->setValue(50);
    bool up = true;
    for (auto _ : state) {
        w.HScroll1->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        QCoreApplication::processEvents();
        up = !up;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TargetScrollStep)->Unit(benchmark::kMicrosecond);

void BM_WorkedExample(benchmark::State& state) {
    TfrmJeuGagnant& w = window();
    for (auto _ : state) {
        w.btnExample->click();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorkedExample)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    fairstake::setMessageAnswerer([](QWidget*, const fairstake::MessageRequest&) { return QMessageBox::Ok; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
