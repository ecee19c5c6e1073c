// One walking move of the plugin's movement on flat ground, up a 30 degree
// ramp and up 16-unit stairs, in a room of 100 boxes with the ramp and the
// stairs beside it, against one hull trace of the same world, through the
// same movement callbacks, from the same place. Prints each move's cost in
// traces against its target (at most 10); the ratio is reported, not
// enforced, as it depends on the build and the machine. Exits 1 only when
// moves allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "host.h"
#include "movement/movement.h"
#include "pmove.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

host::PlayerMove* g_pmv = nullptr;
usercmd_t g_cmd{};

// A lane the walker runs along +x, from startX back to it past endX.
struct Lane {
  const char* name;
  float y;
  float endX;
};
constexpr float kStartX = -600.0f;
constexpr Lane kLanes[] = {{"flat", 0, 600}, {"ramp", 600, 200}, {"stairs", -600, 200}};

void resetWalker(playermove_t& pm, const Lane& lane) {
  pm.origin = vec3_t(kStartX, lane.y, 36);
  pm.velocity = vec3_t(200, 0, 0);  // walking: steps make no sound in multiplayer
  pm.onground = 0;
  pm.flags |= FL_ONGROUND;
}

void walkOnce(playermove_t& pm, const Lane& lane) {
  if (pm.origin.x > lane.endX) resetWalker(pm, lane);
  pm.cmd = g_cmd;
  PM_Move(&pm, 1);
}

void BM_WalkMove(benchmark::State& state) {
  const Lane& lane = kLanes[state.range(0)];
  state.SetLabel(lane.name);
  playermove_t& pm = g_pmv->pm();
  resetWalker(pm, lane);
  for (auto _ : state) {
    walkOnce(pm, lane);
    benchmark::DoNotOptimize(pm.origin);
  }
}

// One walking step's hull trace from where the walker is half-way along the
// lane: on the flat, free; on the ramp and the stairs, into the slope or the
// next riser, as most of a walking move's traces there.
vec3_t g_traceStart[3];

void BM_HullTrace(benchmark::State& state) {
  const Lane& lane = kLanes[state.range(0)];
  state.SetLabel(lane.name);
  playermove_t& pm = g_pmv->pm();
  vec3_t start = g_traceStart[state.range(0)];
  vec3_t end = start + vec3_t(2, 0, 0);
  for (auto _ : state) {
    pmtrace_t tr = pm.PM_PlayerTrace(start, end, PM_NORMAL, -1);
    benchmark::DoNotOptimize(tr);
  }
}

// The machine may be shared: the medians of five runs of CPU time.
BENCHMARK(BM_WalkMove)->DenseRange(0, 2)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HullTrace)->DenseRange(0, 2)->Repetitions(5)->ReportAggregatesOnly(true);

// Keeps the median time per iteration of each benchmark as it reports them.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.iterations == 0) continue;
      double t = r.GetAdjustedCPUTime();
      const std::string name = r.benchmark_name();
      if (r.aggregate_name != "median") continue;
      for (int i = 0; i < 3; ++i) {
        const std::string lane = std::string("/").append(std::to_string(i)).append("/");
        if (name.rfind("BM_WalkMove" + lane, 0) == 0) move[i] = t;
        if (name.rfind("BM_HullTrace" + lane, 0) == 0) trace[i] = t;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double move[3] = {0, 0, 0}, trace[3] = {0, 0, 0};
};

// The room: six walls and 94 pillars beside the flat lane; a 30 degree ramp
// up to a platform in one lane, 12 steps of 16 units up to one in another.
void buildWorld(host::World& world) {
  world.addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  int n = 6;
  for (int i = 0; n < 100; ++i) {
    float x = -940.0f + static_cast<float>(i % 24) * 80.0f;
    float y = (i / 24) % 2 == 0 ? 200.0f + static_cast<float>(i / 48) * 100.0f
                                : -260.0f - static_cast<float>(i / 48) * 100.0f;
    world.addSolid({x, y, 0}, {x + 40, y + 40, 128});
    ++n;
  }
  const float rampTop = 400 * 0.57735f;
  world.addRamp({-400, 500, 0}, {0, 700, rampTop}, host::Uphill::kPlusX);
  world.addSolid({0, 500, 0}, {400, 700, rampTop});
  world.addStairs({-400, -600, 0}, host::Uphill::kPlusX, 12, 16, 24, 200);
  world.addSolid({-400 + 12 * 24, -700, 0}, {400, -500, 12 * 16});
}

}  // namespace

void* operator new(std::size_t size) {
  if (g_counting) ++g_allocations;
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
// Not inlined: seen inline, free() of what operator new returned looks
// mismatched to GCC, which takes operator new for the standard one.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
  host::Server sv;
  buildWorld(sv.world());
  host::PlayerMove pmv(sv);
  pmv.mover = [](playermove_t* p, int server) { PM_Move(p, server); };
  pmv.initialiser = [](playermove_t* p) { PM_Init(p); };
  pmv.setPhysicsKey("bj", "1");
  pmv.init();
  pmv.setMoves(200);
  g_cmd = pmv.command();
  g_cmd.forwardmove = 200;
  g_pmv = &pmv;

  // Traces and allocations over two seconds of walking in each lane.
  playermove_t& pm = pmv.pm();
  double tracesPerMove[3];
  long allocations = 0;
  for (int i = 0; i < 3; ++i) {
    resetWalker(pm, kLanes[i]);
    walkOnce(pm, kLanes[i]);
    g_allocations = 0;
    g_counting = true;
    int traces = pmv.traceCount();
    for (int m = 0; m < 200; ++m) {
      walkOnce(pm, kLanes[i]);
      if (m == 100) g_traceStart[i] = pm.origin;
    }
    g_counting = false;
    tracesPerMove[i] = (pmv.traceCount() - traces) / 200.0;
    allocations += g_allocations.load();
  }

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  bool ok = allocations == 0;
  std::printf("allocations in 600 walking moves: %ld\n", allocations);
  for (int i = 0; i < 3; ++i) {
    std::printf("%-6s player traces per walking move: %.2f\n", kLanes[i].name, tracesPerMove[i]);
    if (reporter.move[i] > 0 && reporter.trace[i] > 0) {
      double ratio = reporter.move[i] / reporter.trace[i];
      std::printf("%-6s walking move = %.2f hull traces (target: at most 10) %s\n",
                  kLanes[i].name, ratio, ratio <= 10.0 ? "OK" : "ABOVE TARGET");
    }
  }
  return ok ? 0 : 1;
}
