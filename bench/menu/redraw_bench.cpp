// The terminal menu's redraw after a click, drawn by ncurses for an
// xterm-256color terminal whose output goes to /dev/null: the click, the
// drawing of the whole screen and curses' refresh, which writes what changed.
// Target: at most 5 ms on an 80 x 24 and on a 200 x 60 terminal.
#include <benchmark/benchmark.h>
#include <curses.h>

#include <cstdio>
#include <map>
#include <string>

#include "cli/draw.h"
#include "cli/layout.h"
#include "form/form.h"

namespace {

constexpr double kTargetMs = 5.0;

void BM_RedrawAfterClick(benchmark::State& state) {
    const int cols = static_cast<int>(state.range(0)), rows = static_cast<int>(state.range(1));
    FILE* out = std::fopen("/dev/null", "w");
    FILE* in = std::fopen("/dev/null", "r");
    SCREEN* screen = newterm("xterm-256color", out, in);
    if (!screen) {
        state.SkipWithError("no terminal description for xterm-256color");
        return;
    }
    set_term(screen);
    resize_term(rows, cols);
    {
        nuv::SilentFrontEnd quiet;
        nuv::Form form(quiet, ".");
        const nuv::tui::Layout layout = nuv::tui::layOut(form.controls(), cols, rows);
        nuv::tui::Painter painter;
        nuv::tui::View view;
        view.focus = static_cast<std::size_t>(form.find("footsteps") - form.controls().data());
        painter.drawMain(form, layout, view);
        refresh();
        for (auto _ : state) {
            form.click("footsteps");
            painter.drawMain(form, layout, view);
            refresh();
        }
    }
    endwin();
    delscreen(screen);
    std::fclose(out);
    std::fclose(in);
}
BENCHMARK(BM_RedrawAfterClick)->Args({80, 24})->Args({200, 60})->Unit(benchmark::kMillisecond);

// Keeps each run's time per redraw for the target lines.
class TargetReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.iterations > 0)
                ms[r.benchmark_name()] = r.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    std::map<std::string, double> ms;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool ok = true;
    for (const auto& [name, ms] : reporter.ms) {
        const bool met = ms <= kTargetMs;
        ok = ok && met;
        std::printf("%s: %.3f ms per redraw after a click (target: at most %.0f ms) %s\n", name.c_str(), ms,
                    kTargetMs, met ? "OK" : "ABOVE TARGET");
    }
    return ok ? 0 : 1;
}
