// One walking move on flat ground in a room of 100 boxes, against one hull
// trace of the same world through the same movement callbacks. Prints the
// move's cost in traces (target: at most 10) and checks that a move
// allocates nothing.
#include <benchmark/benchmark.h>

// The counting operator new below pairs with free(); GCC cannot see that.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "host.h"
#include "movement/movement.h"
#include "pmove.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

host::PlayerMove* g_pmv = nullptr;
usercmd_t g_cmd{};

constexpr float kStartX = -600.0f;

void resetWalker(playermove_t& pm) {
  pm.origin = vec3_t(kStartX, 0, 36);
  pm.velocity = vec3_t(200, 0, 0);  // walking: steps make no sound in multiplayer
  pm.onground = 0;
  pm.flags |= FL_ONGROUND;
}

void walkOnce(playermove_t& pm) {
  if (pm.origin.x > 600.0f) resetWalker(pm);
  pm.cmd = g_cmd;
  PM_Move(&pm, 1);
}

void BM_WalkMove(benchmark::State& state) {
  playermove_t& pm = g_pmv->pm();
  resetWalker(pm);
  for (auto _ : state) {
    walkOnce(pm);
    benchmark::DoNotOptimize(pm.origin);
  }
}

void BM_HullTrace(benchmark::State& state) {
  playermove_t& pm = g_pmv->pm();
  resetWalker(pm);
  vec3_t start = pm.origin;
  vec3_t end = start + vec3_t(2, 0, 0);
  for (auto _ : state) {
    pmtrace_t tr = pm.PM_PlayerTrace(start, end, PM_NORMAL, -1);
    benchmark::DoNotOptimize(tr);
  }
}

BENCHMARK(BM_WalkMove);
BENCHMARK(BM_HullTrace);

// Keeps the time per iteration of each benchmark as it reports them.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.iterations == 0) continue;
      double t = r.GetAdjustedRealTime();
      if (r.benchmark_name().find("BM_WalkMove") == 0) move = t;
      if (r.benchmark_name().find("BM_HullTrace") == 0) trace = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double move = 0, trace = 0;
};

// The room: six walls and 94 pillars beside the walking lane.
void buildRoom(host::World& world) {
  world.addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  int n = 6;
  for (int i = 0; n < 100; ++i) {
    float x = -940.0f + static_cast<float>(i % 24) * 80.0f;
    float y = (i / 24) % 2 == 0 ? 200.0f + static_cast<float>(i / 48) * 100.0f
                                : -260.0f - static_cast<float>(i / 48) * 100.0f;
    world.addSolid({x, y, 0}, {x + 40, y + 40, 128});
    ++n;
  }
}

}  // namespace

void* operator new(std::size_t size) {
  if (g_counting) ++g_allocations;
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
  host::Server sv;
  buildRoom(sv.world());
  if (sv.world().boxes().size() != 100) {
    std::fprintf(stderr, "room has %zu boxes, not 100\n", sv.world().boxes().size());
    return 1;
  }
  host::PlayerMove pmv(sv);
  pmv.mover = [](playermove_t* p, int server) { PM_Move(p, server); };
  pmv.initialiser = [](playermove_t* p) { PM_Init(p); };
  pmv.setPhysicsKey("bj", "1");
  pmv.init();
  pmv.setMoves(200);
  g_cmd = pmv.command();
  g_cmd.forwardmove = 200;
  g_pmv = &pmv;

  // Allocation check over a second of walking, sounds and all.
  playermove_t& pm = pmv.pm();
  resetWalker(pm);
  walkOnce(pm);
  g_counting = true;
  int traces = pmv.traceCount();
  for (int i = 0; i < 100; ++i) walkOnce(pm);
  g_counting = false;
  double tracesPerMove = (pmv.traceCount() - traces) / 100.0;
  long allocations = g_allocations.load();

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("player traces per walking move: %.2f\n", tracesPerMove);
  std::printf("allocations in 100 walking moves: %ld\n", allocations);
  bool ok = allocations == 0;
  if (reporter.move > 0 && reporter.trace > 0) {
    double ratio = reporter.move / reporter.trace;
    std::printf("walking move = %.2f hull traces (target: at most 10) %s\n", ratio,
                ratio <= 10.0 ? "OK" : "ABOVE TARGET");
    ok = ok && ratio <= 10.0;
  }
  return ok ? 0 : 1;
}
