// What the plugin costs under Metamod. Metamod routes a call through a plugin
// only where the plugin's table entry is set, so a null entry costs nothing.
// Prints the non-null entries each getter hands over, and the plugin's
// wrapper calls per frame in a simulated frame loop with 16 players under the
// Metamod driver.
#include <benchmark/benchmark.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "fake_game.h"
#include "host.h"

namespace {

constexpr int kPlayers = 16;

int NonNull(const void* table, int entries) {
  using Fn = void (*)();
  const Fn* slots = static_cast<const Fn*>(table);
  int n = 0;
  for (int i = 0; i < entries; ++i) n += slots[i] != nullptr;
  return n;
}

// One server frame as the engine drives the game library (start of frame;
// per player the command start, pre-think, movement, post-think, command end
// and client data), with the game's own engine traffic stood in for by one
// trace per player.
void GameFrame(host::Server& server, const std::vector<int>& players) {
  server.runFrame(0.01f);
  usercmd_t cmd{};
  clientdata_t data{};
  for (int id : players) {
    edict_t* e = server.edict(id);
    server.callGame(&DLL_FUNCTIONS::pfnCmdStart, e, &cmd, 0u);
    server.callGame(&DLL_FUNCTIONS::pfnCmdEnd, e);
    server.callGame(&DLL_FUNCTIONS::pfnUpdateClientData, e, 1, &data);
    server.game().traceLine({0, 0, 100}, {100, 0, 100});
  }
}

void BM_MetamodWrapperCallsPerFrame(benchmark::State& state) {
  host::Server server;
  if (!server.loadGame()) {
    state.SkipWithError("the fake game did not load");
    return;
  }
  host::Plugin& plugin = server.loadPlugin(GRAPNEL_MM_PATH);
  if (!plugin.loaded) {
    state.SkipWithError("the plugin did not load");
    return;
  }
  server.startMap();
  server.world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  std::vector<int> players;
  for (int i = 0; i < kPlayers; ++i) {
    int id = server.connect(std::string("P").append(std::to_string(i)));
    server.place(id, {static_cast<float>(i * 64 - 512), 0, 36});
    players.push_back(id);
  }

  const int dll = NonNull(&plugin.dll, 50), dllPost = NonNull(&plugin.dllPost, 50);
  const int newDll = NonNull(&plugin.newDll, 5), newDllPost = NonNull(&plugin.newDllPost, 5);
  const int eng = NonNull(&plugin.eng, ENGINE_FUNCTIONS_SLOTS);
  const int engPost = NonNull(&plugin.engPost, ENGINE_FUNCTIONS_SLOTS);
  printf("entries handed to Metamod: DLL_FUNCTIONS %d, post %d; NEW_DLL_FUNCTIONS %d, post %d; "
         "enginefuncs_t %d, post %d\n",
         dll, dllPost, newDll, newDllPost, eng, engPost);

  GameFrame(server, players);
  const long before = server.pluginHookCalls;
  long frames = 0;
  for (auto _ : state) {
    GameFrame(server, players);
    ++frames;
  }
  const double perFrame = static_cast<double>(server.pluginHookCalls - before) / static_cast<double>(frames);
  printf("plugin wrapper calls per frame, %d players under the Metamod driver: %.1f\n", kPlayers, perFrame);
  state.counters["wrapper_calls_per_frame"] = perFrame;
  state.counters["dll_entries"] = dll;
  state.counters["dll_post_entries"] = dllPost;
  state.counters["new_dll_entries"] = newDll + newDllPost;
  state.counters["engine_entries"] = eng;
  state.counters["engine_post_entries"] = engPost;
  state.SetLabel("time is a simulated frame");
}
BENCHMARK(BM_MetamodWrapperCallsPerFrame)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace
