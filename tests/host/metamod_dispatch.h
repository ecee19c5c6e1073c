// How the Metamod driver runs one hooked call: every plugin's pre hook,
// the real function unless a plugin superseded it, then the post hooks.
// The highest result code wins; MRES_OVERRIDE and MRES_SUPERCEDE make the
// plugin's return value the call's result. orig_ret points at the real
// function's result in the post hooks, override_ret at the overriding one.
#pragma once

#include <algorithm>
#include <string>
#include <type_traits>

namespace host {

template <typename Table>
struct HookTables;
template <>
struct HookTables<DLL_FUNCTIONS> {
  static const DLL_FUNCTIONS* pre(const Plugin& p) { return p.hasDll ? &p.dll : nullptr; }
  static const DLL_FUNCTIONS* post(const Plugin& p) { return p.hasDllPost ? &p.dllPost : nullptr; }
};
template <>
struct HookTables<NEW_DLL_FUNCTIONS> {
  static const NEW_DLL_FUNCTIONS* pre(const Plugin& p) { return p.hasNewDll ? &p.newDll : nullptr; }
  static const NEW_DLL_FUNCTIONS* post(const Plugin& p) {
    return p.hasNewDllPost ? &p.newDllPost : nullptr;
  }
};
template <>
struct HookTables<enginefuncs_t> {
  static const enginefuncs_t* pre(const Plugin& p) { return p.hasEng ? &p.eng : nullptr; }
  static const enginefuncs_t* post(const Plugin& p) { return p.hasEngPost ? &p.engPost : nullptr; }
};

// Runs one call of a Table slot through the plugins. has(table) tells
// whether a plugin table fills the slot, call(table) calls it, real() runs
// the real function (hasReal false: nothing runs and the result is zero
// unless a plugin supplies one).
template <typename Table, typename R, typename Has, typename Call, typename Real>
R runHookedCore(Server& sv, Has has, Call call, bool hasReal, Real real) {
  using V = std::conditional_t<std::is_void_v<R>, int, R>;
  meta_globals_t& g = *sv.metaGlobals();
  const meta_globals_t saved = g;
  V origRet{}, overrideRet{};
  META_RES status = MRES_IGNORED, prev = MRES_IGNORED;
  auto runPhase = [&](bool post) {
    for (auto& pp : sv.plugins()) {
      Plugin& p = *pp;
      if (!p.loaded) continue;
      const Table* t = post ? HookTables<Table>::post(p) : HookTables<Table>::pre(p);
      if (!t || !has(*t)) continue;
      g.mres = MRES_UNSET;
      g.prev_mres = prev;
      g.status = status;
      g.orig_ret = post ? static_cast<void*>(&origRet) : nullptr;
      g.override_ret = status >= MRES_OVERRIDE ? static_cast<void*>(&overrideRet) : nullptr;
      V value{};
      ++sv.pluginHookCalls;
      if constexpr (std::is_void_v<R>) {
        call(*t);
      } else {
        value = call(*t);
      }
      META_RES r = g.mres;
      if (r == MRES_UNSET || r > MRES_SUPERCEDE) {
        sv.driverError(std::string(p.info && p.info->name ? p.info->name : p.path.c_str()) +
                       (post ? ": post hook" : ": hook") + " left mres unset");
        r = MRES_IGNORED;
      }
      if (post && r == MRES_SUPERCEDE) r = MRES_OVERRIDE;  // nothing left to skip
      if (r >= MRES_OVERRIDE) overrideRet = value;
      status = std::max(status, r);
      prev = r;
    }
  };
  runPhase(false);
  if (status < MRES_SUPERCEDE) {
    if (hasReal) {
      if constexpr (std::is_void_v<R>) {
        real();
      } else {
        origRet = real();
      }
    }
  } else {
    origRet = overrideRet;
  }
  runPhase(true);
  g = saved;
  if constexpr (!std::is_void_v<R>) return status >= MRES_OVERRIDE ? overrideRet : origRet;
}

template <typename Table, typename R, typename... P, typename... A>
R runHooked(Server& sv, R (*Table::*slot)(P...), R (*real)(P...), A... args) {
  return runHookedCore<Table, R>(
      sv, [slot](const Table& t) { return t.*slot != nullptr; },
      [&](const Table& t) { return (t.*slot)(args...); }, real != nullptr,
      [&] { return real(args...); });
}

template <typename R, typename... P, typename... A>
R Server::callGame(R (*DLL_FUNCTIONS::*slot)(P...), A... args) {
  return runHooked<DLL_FUNCTIONS>(*this, slot, gameDll.*slot, static_cast<P>(args)...);
}

template <typename R, typename... P, typename... A>
R Server::callNewGame(R (*NEW_DLL_FUNCTIONS::*slot)(P...), A... args) {
  return runHooked<NEW_DLL_FUNCTIONS>(*this, slot, hasGameNewDll ? gameNewDll.*slot : nullptr,
                                      static_cast<P>(args)...);
}

}  // namespace host
