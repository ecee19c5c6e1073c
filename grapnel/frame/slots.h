// Wrapper generators for the hook tables. A table slot is named by its member
// pointer (&DLL_FUNCTIONS::pfnUse); the wrapper's signature is deduced from
// the slot's type, so a pass-through or post-call wrapper is one template
// instance and the tables are built from plain slot lists.
#pragma once

#include "frame.h"

namespace frame {

// The function type stored in a table slot.
template <typename Table, typename Fn>
Fn SlotFnOf(Fn Table::*);
template <auto Slot>
using SlotFn = decltype(SlotFnOf(Slot));

// Under Metamod: report a result code and return zero of the slot's result
// type. Standalone: tail-call the target's entry (never a null one).
template <auto Target, auto Slot, typename Fn = SlotFn<Slot>>
struct PassThrough;

template <auto Target, auto Slot, typename R, typename... A>
struct PassThrough<Target, Slot, R (*)(A...)> {
  static R Call(A... args) {
    if (MetamodMode) {
      gpMetaGlobals->mres = MRES_HANDLED;
      return R();
    }
    R (*target)(A...) = (*Target).*Slot;
    if (!target) return R();
    return target(args...);
  }
};

// What a post-call wrapper returns; Metamod does not use it.
enum PostResult { kPostZero, kPostOne, kPostEmptyText };

template <typename R, PostResult Result>
constexpr R PostValue() {
  if constexpr (Result == kPostOne) {
    return R(1);
  } else if constexpr (Result == kPostEmptyText) {
    return "";
  } else {
    return R();
  }
}

// Post-call wrapper (Metamod only): MRES_IGNORED and an unused value.
// Variadic slots get one too: the extra arguments are not read.
template <auto Slot, PostResult Result = kPostZero, typename Fn = SlotFn<Slot>>
struct PostCall;

template <auto Slot, PostResult Result, typename R, typename... A>
struct PostCall<Slot, Result, R (*)(A...)> {
  static R Call(A...) {
    gpMetaGlobals->mres = MRES_IGNORED;
    return PostValue<R, Result>();
  }
};

template <auto Slot, PostResult Result, typename R, typename... A>
struct PostCall<Slot, Result, R (*)(A..., ...)> {
  static R Call(A..., ...) {
    gpMetaGlobals->mres = MRES_IGNORED;
    return PostValue<R, Result>();
  }
};

// Pass-throughs of game-library and engine slots, and post-call wrappers,
// set into a table for a whole list of slots at once.
template <auto... Slots, typename Table>
constexpr void SetGamePassThroughs(Table& table) {
  ((table.*Slots = &PassThrough<&GameDllTable, Slots>::Call), ...);
}

template <auto... Slots, typename Table>
constexpr void SetEnginePassThroughs(Table& table) {
  ((table.*Slots = &PassThrough<&EngineTable, Slots>::Call), ...);
}

template <auto... Slots, typename Table>
constexpr void SetPostCalls(Table& table) {
  ((table.*Slots = &PostCall<Slots>::Call), ...);
}

}  // namespace frame
