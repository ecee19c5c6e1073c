// Stands in for Metamod in installations that nuvdm-check is tried on: a
// library built like the pack's plugins (no C++ runtime) that exports what
// Metamod exports to the engine. Nothing here is ever called.
#include "hl/hl.h"

C_DLLEXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t*, globalvars_t*) {}
C_DLLEXPORT int GetEntityAPI(DLL_FUNCTIONS*, int) { return 0; }
C_DLLEXPORT int GetEntityAPI2(DLL_FUNCTIONS*, int*) { return 0; }
C_DLLEXPORT int GetNewDLLFunctions(NEW_DLL_FUNCTIONS*, int*) { return 0; }
