// Cost of a pass-through wrapper standalone: the plugin loaded by the engine
// as its game library, in front of the fake game. The game library's trace
// call reaches the plugin's pfnTraceLine wrapper, which hands it on to the
// engine. Prints the instructions of the wrapper itself (up to the first
// instruction of the engine's function) and times the call with the
// simulated engine's trace behind it.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <filesystem>
#include <string>

#include "host.h"
#include "instruction_count.h"

namespace {

constexpr long kInstructionLimit = 8;

using TraceLineFn = void (*)(const float*, const float*, int, edict_t*, TraceResult*);

struct Standalone {
  host::Server server;
  TraceLineFn engine = nullptr;   // the engine's function behind the wrapper
  TraceLineFn wrapper = nullptr;  // what the game library calls
  bool ok = false;

  Standalone() {
    const std::string ending = std::filesystem::path(GRAPNEL_MM_PATH).extension().string();
    server.copyIntoMod(FAKE_GAMEDLL_PATH, "dlls/cs" + ending);
    server.copyIntoMod(GRAPNEL_MM_PATH, "dlls/grapnel_mm" + ending);
    server.writeFile("addons/GrapnelMod/GP_config.txt", "cs" + ending + "\n");
    engine = server.gameEngineTable()->pfnTraceLine;
    ok = server.loadGame(server.modPath() + "/dlls/grapnel_mm" + ending);
    wrapper = server.gameEngineTable()->pfnTraceLine;
    ok = ok && wrapper && wrapper != engine;
    server.startMap();
    server.world().addRoom({-512, -512, 0}, {512, 512, 256});
  }
};

void BM_StandalonePassThroughTraceLine(benchmark::State& state) {
  Standalone s;
  if (!s.ok) {
    state.SkipWithError("the plugin did not load standalone");
    return;
  }
  float a[3] = {0, 0, 100}, b[3] = {100, 0, 100};
  TraceResult tr{};
  TraceLineFn wrapper = s.wrapper;
  const long instructions = bench_grapnel::CountInstructions(
      reinterpret_cast<const void*>(wrapper), [&] { wrapper(a, b, 0, nullptr, &tr); },
      reinterpret_cast<const void*>(s.engine));
  printf("pass-through wrapper (pfnTraceLine) standalone: %ld machine instructions before the engine's "
         "function (limit %ld)\n",
         instructions, kInstructionLimit);
  for (auto _ : state) {
    wrapper(a, b, 0, nullptr, &tr);
    benchmark::ClobberMemory();
  }
  state.counters["instructions"] = static_cast<double>(instructions);
#if GRAPNEL_BENCH_SANITIZED
  state.SetLabel("sanitized build: instruction figure includes the sanitizer's checks");
#else
  state.SetLabel("time includes the simulated engine's trace");
  if (instructions < 0)
    state.SkipWithError("process cannot be traced; instructions not counted");
  else if (instructions > kInstructionLimit)
    state.SkipWithError("pass-through wrapper executes more than 8 instructions");
#endif
}
BENCHMARK(BM_StandalonePassThroughTraceLine)->Iterations(2000000);

}  // namespace
