// Wrapper generators for the hook tables. A table slot is named by its member
// pointer (&DLL_FUNCTIONS::pfnUse); the wrapper's signature is deduced from
// the slot's type, so a forwarding wrapper is one template instance and the
// tables are built from plain slot lists.
#pragma once

#include "frame.h"

namespace frame {

// The function type stored in a table slot.
template <typename Table, typename Fn>
Fn SlotFnOf(Fn Table::*);
template <auto Slot>
using SlotFn = decltype(SlotFnOf(Slot));

// Standalone pass-through: tail-calls the target's entry with the same
// arguments; a null entry is skipped and answered with zero of the result
// type. Under Metamod no pass-through is handed over (an empty entry costs
// Metamod nothing), so there is no mode to test here.
template <auto Target, auto Slot, typename Fn = SlotFn<Slot>>
struct PassThrough;

template <auto Target, auto Slot, typename R, typename... A>
struct PassThrough<Target, Slot, R (*)(A...)> {
  static R Call(A... args) {
    R (*target)(A...) = (*Target).*Slot;
    if (!target) return R();
    return target(args...);
  }
};

// Pass-throughs of game-library and engine slots, set into a table for a
// whole list of slots at once.
template <auto... Slots, typename Table>
constexpr void SetGamePassThroughs(Table& table) {
  ((table.*Slots = &PassThrough<&GameDllTable, Slots>::Call), ...);
}

template <auto... Slots, typename Table>
constexpr void SetEnginePassThroughs(Table& table) {
  ((table.*Slots = &PassThrough<&EngineTable, Slots>::Call), ...);
}

// What follows a handler that may keep a game-library call from the game
// (handled not 0): under Metamod a result code, superseding or letting the
// call go on; standalone the game library's entry is called or skipped.
template <auto Slot, typename... A>
auto AfterHandler(int handled, A... args) {
  using R = decltype((GameDllTable.*Slot)(args...));
  if (MetamodMode) {
    gpMetaGlobals->mres = handled ? MRES_SUPERCEDE : MRES_HANDLED;
    return R();
  }
  if (handled) return R();
  return PassThrough<&GameDllTable, Slot>::Call(args...);
}

}  // namespace frame
