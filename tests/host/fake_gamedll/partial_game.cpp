// A library that looks like a game library but lacks entry points, for the
// failures of a standalone start: built once without GetEntityAPI, once
// without GiveFnptrsToDll and once without both (see CMakeLists.txt).
#include "hl/hl.h"

#ifndef PARTIAL_GAME_WITHOUT_GETENTITYAPI
C_DLLEXPORT int GetEntityAPI(DLL_FUNCTIONS*, int) { return 0; }
#endif

#ifndef PARTIAL_GAME_WITHOUT_GIVEFNPTRSTODLL
C_DLLEXPORT void WINAPI GiveFnptrsToDll(enginefuncs_t*, globalvars_t*) {}
#endif

C_DLLEXPORT int GetNewDLLFunctions(NEW_DLL_FUNCTIONS*, int*) { return 0; }
