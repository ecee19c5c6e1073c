// Counts the machine instructions one call of a function executes, by
// single-stepping a forked copy of the process (no hardware counters needed).
#pragma once

#include <functional>

namespace bench_grapnel {

// Runs call() in a forked child and counts the instructions from the first
// instruction of entry up to its return to the caller, tail calls included,
// or up to the first instruction of stop (a call's target, whose own work is
// then left out). Returns -1 when the process cannot be traced.
long CountInstructions(const void* entry, const std::function<void()>& call, const void* stop = nullptr);

}  // namespace bench_grapnel
