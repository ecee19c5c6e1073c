// The two engine tables: the raw one (each slot counts its call, then runs
// the implementation of its area, or returns zero when the host does not
// implement it) and the routed one handed to the game library (each slot
// runs the plugins' engine hooks around the raw slot).
#include <cstdio>

#include "engine_impl.h"
#include "engine_slots.h"

namespace host {

namespace {

enginefuncs_t g_impl{};  // implementations, filled by the area installers

template <auto Slot, typename Sig = decltype(Slot)>
struct Counted;
template <auto Slot, typename R, typename... P>
struct Counted<Slot, R (*enginefuncs_t::*)(P...)> {
  static inline const char* name = "";
  static R call(P... args) {
    sv().recordCall(name);
    if (auto f = g_impl.*Slot) return f(args...);
    if constexpr (!std::is_void_v<R>) return R{};
  }
};

template <auto Slot, typename Sig = decltype(Slot)>
struct Routed;
template <auto Slot, typename R, typename... P>
struct Routed<Slot, R (*enginefuncs_t::*)(P...)> {
  static R call(P... args) {
    Server& s = sv();
    ++s.routedDepth;
    struct Leave {
      int& d;
      ~Leave() { --d; }
    } leave{s.routedDepth};
    return runHooked<enginefuncs_t>(s, Slot, s.engineTable()->*Slot, args...);
  }
};

void rawClientCommand(edict_t* e, char* fmt, ...) {
  sv().recordCall("pfnClientCommand");
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  engineClientCommandText(e, text);
}

void rawAlertMessage(ALERT_TYPE type, char* fmt, ...) {
  sv().recordCall("pfnAlertMessage");
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  engineAlertText(type, text);
}

void rawEngineFprintf(void* file, char* fmt, ...) {
  sv().recordCall("pfnEngineFprintf");
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  if (file) fputs(text.c_str(), static_cast<FILE*>(file));
}

char kPercentS[] = "%s";

// The routed variadic slots format first and hand the plugins "%s", text.
void routedClientCommand(edict_t* e, char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  Server& s = sv();
  ++s.routedDepth;
  runHookedCore<enginefuncs_t, void>(
      s, [](const enginefuncs_t& t) { return t.pfnClientCommand != nullptr; },
      [&](const enginefuncs_t& t) { t.pfnClientCommand(e, kPercentS, text.c_str()); }, true,
      [&] { s.engineTable()->pfnClientCommand(e, kPercentS, text.c_str()); });
  --s.routedDepth;
}

void routedAlertMessage(ALERT_TYPE type, char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  Server& s = sv();
  ++s.routedDepth;
  runHookedCore<enginefuncs_t, void>(
      s, [](const enginefuncs_t& t) { return t.pfnAlertMessage != nullptr; },
      [&](const enginefuncs_t& t) { t.pfnAlertMessage(type, kPercentS, text.c_str()); }, true,
      [&] { s.engineTable()->pfnAlertMessage(type, kPercentS, text.c_str()); });
  --s.routedDepth;
}

void routedEngineFprintf(void* file, char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  Server& s = sv();
  ++s.routedDepth;
  runHookedCore<enginefuncs_t, void>(
      s, [](const enginefuncs_t& t) { return t.pfnEngineFprintf != nullptr; },
      [&](const enginefuncs_t& t) { t.pfnEngineFprintf(file, kPercentS, text.c_str()); }, true,
      [&] { s.engineTable()->pfnEngineFprintf(file, kPercentS, text.c_str()); });
  --s.routedDepth;
}

}  // namespace

void Server::buildEngine() {
  g_impl = enginefuncs_t{};
  installEntitySlots(g_impl);
  installStringSlots(g_impl);
  installMessageSlots(g_impl);
  installTraceSlots(g_impl);
  installFileSlots(g_impl);
#define HOST_COUNTED(n)                            \
  Counted<&enginefuncs_t::n>::name = #n;           \
  engine_.n = &Counted<&enginefuncs_t::n>::call;   \
  routedEngine_.n = &Routed<&enginefuncs_t::n>::call;
  HOST_ENGINE_SLOTS(HOST_COUNTED)
#undef HOST_COUNTED
  engine_.pfnClientCommand = rawClientCommand;
  engine_.pfnAlertMessage = rawAlertMessage;
  engine_.pfnEngineFprintf = rawEngineFprintf;
  routedEngine_.pfnClientCommand = routedClientCommand;
  routedEngine_.pfnAlertMessage = routedAlertMessage;
  routedEngine_.pfnEngineFprintf = routedEngineFprintf;
  pluginEngine_ = engine_;
  pluginEngine_.pfnCVarRegister = metaCvarRegister;
}

}  // namespace host
