// Cost of a pass-through wrapper under Metamod: the game library's trace
// call reaches the plugin's pfnTraceLine wrapper, which only reports
// MRES_HANDLED. Prints the instructions of one call and its time.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include "host.h"
#include "instruction_count.h"

namespace {

constexpr long kInstructionLimit = 8;

struct Loaded {
  host::Server server;
  host::Plugin* plugin = nullptr;
  Loaded() {
    server.loadGame();
    plugin = &server.loadPlugin(GRAPNEL_MM_PATH);
    server.startMap();
  }
};

Loaded& Session() {
  static Loaded loaded;
  return loaded;
}

// Instructions of one call of a wrapper, counted once per wrapper.
template <typename Fn, typename Call>
long Instructions(Fn wrapper, Call call, const char* what) {
  long n = bench_grapnel::CountInstructions(reinterpret_cast<const void*>(wrapper), call);
  printf("%s under Metamod: %ld machine instructions per call\n", what, n);
  return n;
}

void BM_PassThroughTraceLine(benchmark::State& state) {
  host::Plugin& plugin = *Session().plugin;
  auto traceLine = plugin.eng.pfnTraceLine;
  float a[3] = {0, 0, 0}, b[3] = {100, 0, 0};
  TraceResult tr{};
  static const long instructions =
      Instructions(traceLine, [&] { traceLine(a, b, 0, nullptr, &tr); }, "pass-through wrapper (pfnTraceLine)");
  for (auto _ : state) {
    traceLine(a, b, 0, nullptr, &tr);
    benchmark::ClobberMemory();
  }
  state.counters["instructions"] = static_cast<double>(instructions);
#if GRAPNEL_BENCH_SANITIZED
  state.SetLabel("sanitized build: instruction figure includes the sanitizer's checks");
#else
  if (instructions < 0)
    state.SkipWithError("process cannot be traced; instructions not counted");
  else if (instructions > kInstructionLimit)
    state.SkipWithError("pass-through wrapper executes more than 8 instructions");
#endif
}
BENCHMARK(BM_PassThroughTraceLine);

// A post-call wrapper, for comparison.
void BM_PostCallTraceLine(benchmark::State& state) {
  host::Plugin& plugin = *Session().plugin;
  auto traceLine = plugin.engPost.pfnTraceLine;
  float a[3] = {0, 0, 0}, b[3] = {100, 0, 0};
  TraceResult tr{};
  static const long instructions =
      Instructions(traceLine, [&] { traceLine(a, b, 0, nullptr, &tr); }, "post-call wrapper (pfnTraceLine)");
  for (auto _ : state) {
    traceLine(a, b, 0, nullptr, &tr);
    benchmark::ClobberMemory();
  }
  state.counters["instructions"] = static_cast<double>(instructions);
}
BENCHMARK(BM_PostCallTraceLine);

}  // namespace
