// No heap allocation on the hook's per-frame paths: 32 players hooking,
// pulling, swinging and releasing, with every allocation of the process
// watched. On Linux an allocation is the plugin's when the first frame of its
// call stack that lies in the test program, the fake game library or the
// plugin lies in the plugin (the C library in between counts for its caller).
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "hook_session.h"

#ifdef _WIN32
// On Windows every library calls the C library's allocator through its own
// import table, so the watch stands in front of exactly the calls a library
// makes: it replaces the imports of malloc, calloc and realloc of the test
// program and of the library being watched. (Allocations that the C library
// makes inside other calls, such as fopen, are not seen there; the per-frame
// paths make no such calls.)
#include "import_patch.h"

namespace {

struct Watch {
  std::atomic<bool> on{false};
  const void* pluginBase = nullptr;
  long all = 0;
  long plugin = 0;
  const void* example = nullptr;  // a return address of a plugin allocation
};
Watch g_watch;

const void* BaseOf(const void* address) { return importpatch::ModuleOf(address); }

// The C library's own functions, as the first replaced import held them.
void* (*g_malloc)(size_t);
void* (*g_calloc)(size_t, size_t);
void* (*g_realloc)(void*, size_t);

__attribute__((noinline)) void Observe(const void* caller) {
  if (!g_watch.on.load(std::memory_order_relaxed)) return;
  ++g_watch.all;
  if (BaseOf(caller) == g_watch.pluginBase) {
    ++g_watch.plugin;
    g_watch.example = caller;
  }
}

void* CountingMalloc(size_t size) {
  Observe(__builtin_return_address(0));
  return g_malloc(size);
}
void* CountingCalloc(size_t count, size_t size) {
  Observe(__builtin_return_address(0));
  return g_calloc(count, size);
}
void* CountingRealloc(void* p, size_t size) {
  Observe(__builtin_return_address(0));
  return g_realloc(p, size);
}

// Puts the counting allocator in front of one library's allocations.
template <typename Fn>
void ReplaceImport(HMODULE module, const char* name, Fn counting, Fn* original) {
  void* before = importpatch::Replace(module, "msvcrt.dll", name, reinterpret_cast<void*>(counting));
  if (before && before != reinterpret_cast<void*>(counting) && !*original) *original = reinterpret_cast<Fn>(before);
}

void WatchModule(const void* addressInIt) {
  auto module = static_cast<HMODULE>(const_cast<void*>(BaseOf(addressInIt)));
  ReplaceImport(module, "malloc", &CountingMalloc, &g_malloc);
  ReplaceImport(module, "calloc", &CountingCalloc, &g_calloc);
  ReplaceImport(module, "realloc", &CountingRealloc, &g_realloc);
}

// Watches the given library's allocations from now on.
void WatchLibraryOf(const void* address) {
  WatchModule(address);
  g_watch.pluginBase = BaseOf(address);
}

void InstallWatch() { WatchModule(reinterpret_cast<const void*>(&InstallWatch)); }
void WarmUp() {}

}  // namespace

#else
#include <dlfcn.h>
#include <execinfo.h>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                          void (*)(const volatile void*));
#define HOOKTEST_SANITIZER_HOOKS 1
#else
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
#endif

// The watch's own functions live in one section, so that their frames can
// be told apart from their callers' on the stack.
#define HOOKTEST_WATCH __attribute__((noinline, section("hooktest_watch")))
extern "C" const char __start_hooktest_watch[];
extern "C" const char __stop_hooktest_watch[];

namespace {

struct Watch {
  std::atomic<bool> on{false};
  bool busy = false;
  const void* pluginBase = nullptr;
  long all = 0;
  long plugin = 0;
  const void* example = nullptr;  // a return address of a plugin allocation
};
Watch g_watch;

const void* BaseOf(const void* address) {
  Dl_info info;
  return dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Libraries that allocate on behalf of their caller.
bool IsRuntime(const void* address) {
  Dl_info info;
  if (!dladdr(address, &info) || !info.dli_fname) return false;
  const char* name = strrchr(info.dli_fname, '/');
  name = name ? name + 1 : info.dli_fname;
  static const char* const kRuntime[] = {"libc.so", "libstdc++", "libgcc_s", "libasan", "libubsan",
                                         "libm.so", "ld-linux", "libpthread"};
  for (const char* r : kRuntime)
    if (strncmp(name, r, strlen(r)) == 0) return true;
  return false;
}

bool InWatch(const void* address) {
  const char* a = static_cast<const char*>(address);
  return a >= __start_hooktest_watch && a < __stop_hooktest_watch;
}

HOOKTEST_WATCH void Observe() {
  if (!g_watch.on.load(std::memory_order_relaxed) || g_watch.busy) return;
  g_watch.busy = true;
  ++g_watch.all;
  void* frames[64];
  int n = backtrace(frames, 64);
  for (int i = 0; i < n; ++i) {
    if (InWatch(frames[i]) || IsRuntime(frames[i])) continue;
    if (BaseOf(frames[i]) == g_watch.pluginBase) {
      ++g_watch.plugin;
      g_watch.example = frames[i];
    }
    break;
  }
  g_watch.busy = false;
}

#ifdef HOOKTEST_SANITIZER_HOOKS
HOOKTEST_WATCH void OnMalloc(const volatile void*, size_t) { Observe(); }
HOOKTEST_WATCH void OnFree(const volatile void*) {}
#endif

}  // namespace

#ifndef HOOKTEST_SANITIZER_HOOKS
extern "C" HOOKTEST_WATCH void* malloc(size_t size) {
  Observe();
  return __libc_malloc(size);
}
extern "C" HOOKTEST_WATCH void* calloc(size_t count, size_t size) {
  Observe();
  return __libc_calloc(count, size);
}
extern "C" HOOKTEST_WATCH void* realloc(void* p, size_t size) {
  Observe();
  return __libc_realloc(p, size);
}
#endif


namespace {

void WatchLibraryOf(const void* address) { g_watch.pluginBase = BaseOf(address); }

void InstallWatch() {
#ifdef HOOKTEST_SANITIZER_HOOKS
  static bool installed = false;
  if (!installed) __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  installed = true;
#endif
}

// Loads the unwinder before anything is counted.
void WarmUp() {
  void* warm[4];
  backtrace(warm, 4);
}

}  // namespace
#endif

namespace {

using hooktest::HookSession;

TEST(HookAllocation, ThirtyTwoPlayersHookingAndReleasingAllocateNothing) {
  InstallWatch();
  HookSession s;
  s.FreeFlight();
  s.Cvar("GP_hook_usekey", "1");
  s.Cvar("GP_hook_players", "1");

  WatchLibraryOf(s.PluginCode());
  ASSERT_NE(g_watch.pluginBase, nullptr);
  ASSERT_NE(g_watch.pluginBase, BaseOf(reinterpret_cast<const void*>(&BaseOf)));
  WarmUp();

  std::vector<int> ids;
  for (int i = 0; i < 32; ++i) {
    float angle = static_cast<float>(i) * 11.25f;
    int id = s.Join(std::string("P").append(std::to_string(i)), {static_cast<float>((i % 8) * 100 - 350),
                                              static_cast<float>((i / 8) * 100 - 150), 36},
                    {-30, angle, 0});
    ids.push_back(id);
  }

  // Every way in and out, several times over: commands, use key, swing and
  // pull, instant hooks, beams replaced and removed.
  auto round = [&](int r) {
    s.Cvar("GP_hook_swing", r % 2 ? "1" : "0");
    s.Cvar("GP_hook_instant", r % 3 == 2 ? "1" : "0");
    for (size_t i = 0; i < ids.size(); ++i) {
      int id = ids[i];
      s.sv.place(id, {static_cast<float>((i % 8) * 100 - 350), static_cast<float>((i / 8) * 100 - 150), 36},
                 {-30, static_cast<float>(i) * 11.25f + r * 7.0f, 0});
      if (i % 2)
        s.Command(id, "+hook");
      else
        s.sv.vars(id).button = IN_USE | (r % 2 ? IN_JUMP | IN_FORWARD : IN_DUCK | IN_MOVELEFT);
    }
    s.sv.runFor(0.6f);
    for (size_t i = 0; i < ids.size(); ++i) {
      if (i % 2)
        s.Command(ids[i], "-hook");
      else
        s.sv.vars(ids[i]).button = 0;
    }
    s.sv.runFor(0.1f);
  };

  s.CvarAndRefresh("GP_hook_usekey", "1");
  round(0);  // warm-up
  round(1);
  g_watch.all = g_watch.plugin = 0;
  g_watch.on = true;
  for (int r = 2; r < 8; ++r) {
    round(r);
  }
  g_watch.on = false;

  EXPECT_GT(g_watch.all, 0) << "the watch saw the host's own allocations";
  EXPECT_EQ(g_watch.plugin, 0) << "first at " << g_watch.example;
  EXPECT_GT(s.sv.engineCalls("pfnCreateNamedEntity"), 32 * 6);

  // The watch does tell a library's allocations: the fake game library
  // allocates when it records a long chat line.
  WatchLibraryOf(reinterpret_cast<const void*>(s.sv.game().api()->recordCount));
  g_watch.plugin = 0;
  g_watch.on = true;
  s.Command(ids[0], "say a chat line long enough to need a heap block of its own");
  g_watch.on = false;
  EXPECT_GT(g_watch.plugin, 0);
}

}  // namespace
