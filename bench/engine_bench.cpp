// The engine's hot operations: what one keystroke in an odds box costs at most.

#include "engine/engine.h"
#include "engine/racesheet.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace fairstake;

class NullHost : public EngineHost {
public:
    void ProcessPendingEvents() override {}
    void ShowInformation(const std::string&) override {}
    void SetOddsText(int, const std::string&) override {}
};

// Odds with a profit for every count of runners, so the stakes are shown, not "none".
BetSlip playing(int runners) {
    static const char* const odds[] = {"9/2", "9", "10", "11", "12", "14", "16", "20", "25"};
    BetSlip slip;
    slip.baseAmount = 2;
    slip.playedCount = runners;
    for (int i = 1; i <= runners; ++i) {
        Selection& s = slip.selection(i);
        s.isActive = true;
        s.oddsText = odds[i - 1];
        s.oddsValue = ParseOdds(s.oddsText, slip.separator, OddsFormat::ToOne).value_or(0.0f);
    }
    return slip;
}

void RunCalculationBench(benchmark::State& state, Variant variant) {
    BetSlip slip = playing(static_cast<int>(state.range(0)));
    NullHost host;
    for (auto _ : state) {
        RunCalculation(slip, variant, host);
        benchmark::DoNotOptimize(slip.profit);
    }
}
BENCHMARK_CAPTURE(RunCalculationBench, Calculate, Variant::Calculate)->Arg(1)->Arg(4)->Arg(9);
BENCHMARK_CAPTURE(RunCalculationBench, Refresh, Variant::Refresh)->Arg(1)->Arg(4)->Arg(9);

// The race sheet of nine runners: plain; a total onto the unit; the even rounding's search over all
// 512 ways onto 0.5 (aim: under 50 us), backed and each way.
SheetSettings sheetOf(BetType type, SizeBy size, StakeRounding rounding) {
    SheetSettings s;
    s.type = type;
    s.size = size;
    s.sizeText = "100";
    s.rounding = rounding;
    s.commissionText = "5";
    return s;
}
void RaceSheetBench(benchmark::State& state, SheetSettings settings) {
    BetSlip slip = playing(9);
    slip.roundingUnitText = "0.5";
    NullHost host;
    RunCalculation(slip, Variant::Calculate, host);
    for (auto _ : state) benchmark::DoNotOptimize(MakeRaceSheet(slip, settings));
}
BENCHMARK_CAPTURE(RaceSheetBench, Plain, SheetSettings{});
BENCHMARK_CAPTURE(RaceSheetBench, TotalOntoUnit, sheetOf(BetType::Back, SizeBy::Total, StakeRounding::OntoUnit));
BENCHMARK_CAPTURE(RaceSheetBench, EvenlyBack, sheetOf(BetType::Back, SizeBy::Total, StakeRounding::Evenly));
BENCHMARK_CAPTURE(RaceSheetBench, EvenlyEachWay, sheetOf(BetType::EachWay, SizeBy::Total, StakeRounding::Evenly));

// Nine unrounded amounts are put back before every run, since a second
// rounding finds every amount on a multiple already.
void RoundStakesBench(benchmark::State& state, RoundingMode mode) {
    BetSlip slip = playing(9);
    NullHost host;
    RunCalculation(slip, Variant::Calculate, host);
    slip.roundingMode = mode;
    std::string amounts[kSelections];
    for (int i = 1; i <= kSelections; ++i)
        amounts[i - 1] = slip.selection(i).shownAmount;
    for (auto _ : state) {
        for (int i = 1; i <= kSelections; ++i)
            slip.selection(i).shownAmount = amounts[i - 1];
        RoundStakes(slip);
        benchmark::DoNotOptimize(slip.totalStake);
    }
}
BENCHMARK_CAPTURE(RoundStakesBench, Up, RoundingMode::Up);
BENCHMARK_CAPTURE(RoundStakesBench, Down, RoundingMode::Down);
BENCHMARK_CAPTURE(RoundStakesBench, ByValue, RoundingMode::ByValue);

void ParseOddsBench(benchmark::State& state, const char* text, OddsFormat format) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseOdds(text, U',', format));
}
BENCHMARK_CAPTURE(ParseOddsBench, Whole, "12", OddsFormat::ToOne);
BENCHMARK_CAPTURE(ParseOddsBench, Decimal, "4.5", OddsFormat::ToOne);
BENCHMARK_CAPTURE(ParseOddsBench, Fraction, "9/2", OddsFormat::ToOne);
// Decimal and American odds, worked out on the digits as typed.
BENCHMARK_CAPTURE(ParseOddsBench, DecimalOdds, "5.5", OddsFormat::Decimal);
BENCHMARK_CAPTURE(ParseOddsBench, AmericanPlus, "+450", OddsFormat::American);
BENCHMARK_CAPTURE(ParseOddsBench, AmericanMinus, "-110", OddsFormat::American);

void ShowOddsYieldBench(benchmark::State& state, const char* text) {
    BetSlip slip;
    for (auto _ : state) {
        ShowOddsYield(slip, text, OddsFormat::ToOne);
        benchmark::DoNotOptimize(slip.yieldLine.data());
    }
}
BENCHMARK_CAPTURE(ShowOddsYieldBench, Decimal, "4.5");
BENCHMARK_CAPTURE(ShowOddsYieldBench, Fraction, "9/2");

} // namespace
