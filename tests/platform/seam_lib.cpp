// A small shared library for the OS seam tests to load.
#include "hl/export.h"

namespace {
int g_calls = 0;
}

C_DLLEXPORT int seam_answer() {
    ++g_calls;
    return 42;
}

C_DLLEXPORT int seam_calls() {
    return g_calls;
}

// A data address inside the library.
C_DLLEXPORT const int* seam_counter() {
    return &g_calls;
}

// Not exported: the seam must not find it.
extern "C" int seam_hidden() {
    return 7;
}
