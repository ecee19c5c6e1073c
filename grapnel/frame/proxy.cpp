// Standalone proxy mode: the engine loaded this library as its game library.
// It loads the real game library named in the mod's configuration file,
// stands its own engine wrappers between the game library and the engine,
// and hands the engine its own game-library table.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "exports.h"
#include "os/os.h"
#include "proxy_config.h"

void* GameLibrary;
DLL_FUNCTIONS GameDllTable;

namespace {

constexpr int kPathSize = 256;

APIFUNCTION GameGetEntityAPI;
NEW_DLL_FUNCTIONS_FN GameGetNewDLLFunctions;
GIVE_ENGINE_FUNCTIONS_FN GameGiveFnptrsToDll;
SERVER_BLENDING_FN GameGetBlendingInterface;

void Alert(ALERT_TYPE level, const char* format, const char* text) {
  if (EngineTable.pfnAlertMessage) EngineTable.pfnAlertMessage(level, const_cast<char*>(format), text);
}

// The server cannot go on without a game library that it can call. The
// closing line names the library and what is wrong with it: the engine shows
// the alert lines before it only in developer mode.
[[noreturn]] void StopServer(const char* library = nullptr, const char* reason = nullptr) {
  if (library)
    printf("{GrapnelMod} The server cannot run without its game library %s (%s); exiting.\n", library, reason);
  else
    printf("{GrapnelMod} The server cannot run without its game library; exiting.\n");
  fflush(stdout);
  exit(1);
}

// Why the library at path did not load: no such file, a path cut to the
// buffer, or the loader's own words.
const char* LoadFailure(const char* path, bool fits) {
  if (!fits) return "the path is longer than 255 characters";
  FILE* file = fopen(path, "rb");
  if (!file) {
    if (errno == ENOENT) return "no such file";
  } else {
    fclose(file);
  }
  return os::lastLoadError();
}

// Appends text at out[*used], bounded by the path buffer; false when cut.
bool Append(char* out, size_t* used, const char* text) {
  size_t len = strlen(text);
  size_t room = kPathSize - 1 - *used;
  bool fits = len <= room;
  if (!fits) len = room;
  memcpy(out + *used, text, len);
  *used += len;
  out[*used] = '\0';
  return fits;
}

// Builds "<mod>\<a>\<b>" with the platform's separators; false when cut.
bool ModPath(char* out, const char* a, const char* b) {
  size_t used = 0;
  out[0] = '\0';
  bool fits = Append(out, &used, ModDirName) && Append(out, &used, "\\") && Append(out, &used, a) &&
              Append(out, &used, "\\") && Append(out, &used, b);
  os::toNativeSeparators(out);
  return fits;
}

// The engine's entries the game library reaches through the plugin: every
// one from pfnPrecacheModel to pfnGetPlayerWONId except pfnEngineFprintf,
// and pfnGetPlayerAuthId. The rest stay the engine's own.
void PatchEngineTable(enginefuncs_t* engine) {
  using Fn = void (*)();
  Fn* to = reinterpret_cast<Fn*>(engine);
  const Fn* from = reinterpret_cast<const Fn*>(&ForwardEngineTable);
  constexpr size_t kFprintf = offsetof(enginefuncs_t, pfnEngineFprintf) / sizeof(Fn);
  constexpr size_t kLast = offsetof(enginefuncs_t, pfnGetPlayerWONId) / sizeof(Fn);
  constexpr size_t kAuthId = offsetof(enginefuncs_t, pfnGetPlayerAuthId) / sizeof(Fn);
  for (size_t i = 0; i <= kLast; ++i) {
    if (i != kFprintf) to[i] = from[i];
  }
  to[kAuthId] = from[kAuthId];
}

// Frees the game library when the process unloads this library.
__attribute__((destructor)) void FreeGameLibrary() {
  if (GameLibrary) os::freeLibrary(GameLibrary);
  GameLibrary = nullptr;
}

}  // namespace

void Proxy_LoadGameLibrary(enginefuncs_t* engine, globalvars_t* globals) {
  char configPath[kPathSize];
  bool fits = ModPath(configPath, "addons\\GrapnelMod", "GP_config.txt");
  FILE* config = fits ? fopen(configPath, "rt") : nullptr;
  if (!config) {
    printf("{GrapnelMod} Error reading from GP_config.txt!\n");
    printf("{GrapnelMod} Exiting...\n");
    fflush(stdout);
    exit(0);
  }
  char word[kPathSize];
  ProxyConfigResult read = ProxyConfig_ReadWord(config, word, sizeof(word));
  fclose(config);
  if (read != kConfigWord) {
    printf(read == kConfigEmpty ? "{GrapnelMod} GP_config.txt names no game library!\n"
                                : "{GrapnelMod} The game library name in GP_config.txt is too long!\n");
    StopServer();
  }

  char libraryPath[kPathSize];
  fits = ModPath(libraryPath, "dlls", word);
  GameLibrary = fits ? os::loadLibrary(libraryPath) : nullptr;
  printf("Loaded GrapnelMod - not using metamod.\n");
  fflush(stdout);
  if (GameLibrary)
    Alert(at_console, "{GrapnelMod} Loaded %s.\n", libraryPath);
  else
    Alert(at_error, "{GrapnelMod} File %s not found!\n", libraryPath);

  GameGetEntityAPI = reinterpret_cast<APIFUNCTION>(GameLibrary ? os::findSymbol(GameLibrary, "GetEntityAPI") : nullptr);
  if (!GameGetEntityAPI) Alert(at_error, "%s", "{GrapnelMod} Can't get mod's GetEntityAPI!\n");
  GameGetNewDLLFunctions = reinterpret_cast<NEW_DLL_FUNCTIONS_FN>(
      GameLibrary ? os::findSymbol(GameLibrary, "GetNewDLLFunctions") : nullptr);
  GameGiveFnptrsToDll = reinterpret_cast<GIVE_ENGINE_FUNCTIONS_FN>(
      GameLibrary ? os::findSymbol(GameLibrary, "GiveFnptrsToDll") : nullptr);
  if (!GameGiveFnptrsToDll) Alert(at_error, "%s", "{GrapnelMod} Can't get mod's GiveFnptrsToDll!\n");
  // Optional: a game without hitbox blending simply has none.
  GameGetBlendingInterface = reinterpret_cast<SERVER_BLENDING_FN>(
      GameLibrary ? os::findSymbol(GameLibrary, "Server_GetBlendingInterface") : nullptr);
  if (!GameLibrary) StopServer(libraryPath, LoadFailure(libraryPath, fits));
  if (!GameGetEntityAPI || !GameGiveFnptrsToDll) {
    char missing[96];
    snprintf(missing, sizeof missing, "no %s%s%s entry point", GameGetEntityAPI ? "" : "GetEntityAPI",
             GameGetEntityAPI || GameGiveFnptrsToDll ? "" : " and no ", GameGiveFnptrsToDll ? "" : "GiveFnptrsToDll");
    StopServer(libraryPath, missing);
  }

  if (engine) PatchEngineTable(engine);
  GameGiveFnptrsToDll(engine, globals);
}

namespace {

int FetchGameTable() {
  if (!GameGetEntityAPI) return 0;
  return GameGetEntityAPI(&GameDllTable, kDllVersion) ? 1 : 0;
}

}  // namespace

int Proxy_GetEntityAPI2(DLL_FUNCTIONS* table, int* /*version*/) {
  if (!table) return 0;
  CopyEntries(table, &ForwardDllTable, kDllEntries);
  return FetchGameTable();
}

int Proxy_GetEntityAPI(DLL_FUNCTIONS* table, int version) {
  if (!table || version != kDllVersion) return 0;
  CopyEntries(table, &ForwardDllTable, kDllEntries);
  return FetchGameTable();
}

int Proxy_GetNewDLLFunctions(NEW_DLL_FUNCTIONS* table, int* version) {
  if (!GameGetNewDLLFunctions) return 0;
  return GameGetNewDLLFunctions(table, version) ? 1 : 0;
}

// The engine looks this up in the library it loaded as the game: a library
// standing in front of the game must pass the question on, or the game's
// hitbox blending is silently switched off. 0 (none) without a game library
// (under Metamod the engine never asks the plugin) or when it has none.
GRAPNEL_EXPORT int Server_GetBlendingInterface(int version, void** ppinterface, void* pstudio, void* rotationmatrix,
                                               void* bonetransform) {
  if (!GameGetBlendingInterface) return 0;
  return GameGetBlendingInterface(version, ppinterface, pstudio, rotationmatrix, bonetransform);
}
