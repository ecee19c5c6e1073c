// A minimal plugin built like the real ones (no C++ runtime, hidden symbols):
// its entry points must come out exported under their plain names, and the
// OS seam must link into it.
#include <string.h>

#include "metamod/metamod.h"
#include "os/os.h"

namespace {
enginefuncs_t g_engine;
globalvars_t* g_globals = nullptr;
plugin_info_t g_info = {META_INTERFACE_VERSION,
                        "probe",
                        "1.0",
                        "2026/12/08",
                        "nuvdm",
                        "",
                        "PROBE",
                        PT_ANYTIME,
                        PT_ANYTIME};
}  // namespace

C_DLLEXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t* pengfuncsFromEngine,
                                        globalvars_t* pGlobals) {
    memcpy(&g_engine, pengfuncsFromEngine, sizeof g_engine);
    g_globals = pGlobals;
}

C_DLLEXPORT int Meta_Query(char*, plugin_info_t** plinfo, mutil_funcs_t*) {
    *plinfo = &g_info;
    return 1;
}

// Joins two words with the seam, to prove it links without the C++ runtime.
C_DLLEXPORT int probe_join(char* out, int size, const char* a, const char* b) {
    return os::joinPath(out, static_cast<size_t>(size), a, b) ? 1 : 0;
}

C_DLLEXPORT float probe_length(float x, float y, float z) {
    return vec3_t(x, y, z).length();
}
