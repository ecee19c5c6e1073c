// Loading libraries: the game library as the engine loads it, and plugins
// as Metamod loads them, with Metamod's utility table.
#include <cstdarg>
#include <cstring>
#include <filesystem>

#include "engine_impl.h"
#include "fake_game.h"
#include "os/os.h"

namespace host {

namespace {

template <typename F>
F sym(void* lib, const char* name) {
  return reinterpret_cast<F>(os::findSymbol(lib, name));
}

std::string tagOf(plid_t plid) {
  if (!plid) return "?";
  if (plid->logtag && *plid->logtag) return plid->logtag;
  return plid->name ? plid->name : "?";
}

void metaLog(plid_t plid, const char* kind, const std::string& text) {
  sv().recordMetaLog({tagOf(plid), kind, text});
}

#define HOST_META_LOGGER(fn, kind)             \
  void fn(plid_t plid, const char* fmt, ...) { \
    va_list ap;                                \
    va_start(ap, fmt);                         \
    std::string text = vformat(fmt, ap);       \
    va_end(ap);                                \
    metaLog(plid, kind, text);                 \
  }
HOST_META_LOGGER(logConsole, "console")
HOST_META_LOGGER(logMessage, "message")
HOST_META_LOGGER(logError, "error")
HOST_META_LOGGER(logDeveloper, "developer")
HOST_META_LOGGER(centerSay, "centersay")
#undef HOST_META_LOGGER

void centerSayParms(plid_t plid, hudtextparms_t, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string text = vformat(fmt, ap);
  va_end(ap);
  metaLog(plid, "centersay", text);
}
void centerSayVarargs(plid_t plid, hudtextparms_t, const char* fmt, va_list ap) {
  metaLog(plid, "centersay", vformat(fmt, ap));
}

qboolean callGameEntity(plid_t, const char* name, entvars_t* pev) {
  void* lib = sv().gameLibrary;
  auto fn = lib && name ? sym<void (*)(entvars_t*)>(lib, name) : nullptr;
  if (!fn) return 0;
  fn(pev);
  return 1;
}

int getUserMsgID(plid_t, const char* name, int* size) {
  if (!name) return 0;
  auto& m = im();
  for (size_t i = 0; i < m.userMsgs.size(); ++i)
    if (m.userMsgs[i] == name) {
      if (size) *size = m.userMsgSizes[i];
      return Server::Impl::kFirstUserMsg + static_cast<int>(i);
    }
  return 0;
}

const char* getUserMsgName(plid_t, int id, int* size) {
  auto& m = im();
  int i = id - Server::Impl::kFirstUserMsg;
  if (i < 0 || i >= static_cast<int>(m.userMsgs.size())) return nullptr;
  if (size) *size = m.userMsgSizes[static_cast<size_t>(i)];
  return m.userMsgs[static_cast<size_t>(i)].c_str();
}

const char* getPluginPath(plid_t plid) {
  for (auto& p : sv().plugins())
    if (p->info == plid) return p->path.c_str();
  return nullptr;
}

const char* getGameInfo(plid_t, ginfo_t tag) {
  Server& s = sv();
  std::string dir = std::filesystem::path(s.modPath()).filename().string();
  switch (tag) {
    case GINFO_NAME:
    case GINFO_GAMEDIR: return im().keep(dir);
    case GINFO_DESC: return im().keep(s.gameDll.pfnGetGameDescription
                                          ? s.gameDll.pfnGetGameDescription() : "");
    case GINFO_DLL_FULLPATH:
    case GINFO_REALDLL_FULLPATH: return im().keep(s.gameLibraryPath);
    case GINFO_DLL_FILENAME:
      return im().keep(std::filesystem::path(s.gameLibraryPath).filename().string());
  }
  return nullptr;
}

int loadPluginStub(plid_t, const char*, PLUG_LOADTIME, void**) { return 1; }
int unloadPluginStub(plid_t, const char*, PLUG_LOADTIME, PL_UNLOAD_REASON) { return 1; }
int unloadByHandleStub(plid_t, void*, PLUG_LOADTIME, PL_UNLOAD_REASON) { return 1; }
const char* isQuerying(plid_t, const edict_t*) { return nullptr; }
int makeRequestID(plid_t) {
  static int next = 0;
  return ++next;
}
void getHookTables(plid_t, enginefuncs_t** eng, DLL_FUNCTIONS** dll, NEW_DLL_FUNCTIONS** newdll) {
  Server& s = sv();
  if (eng) *eng = s.engineTable();
  if (dll) *dll = &s.gameDll;
  if (newdll) *newdll = s.hasGameNewDll ? &s.gameNewDll : nullptr;
}

// The engine's blending question at load, with records of its own to fill.
struct BlendingRecords {
  void* studio[32];
  float rotation[3][4];
  float bones[128][3][4];
} g_blendingRecords;

mutil_funcs_t g_mutil = {
    logConsole,    logMessage,     logError,     logDeveloper,     centerSay,
    centerSayParms, centerSayVarargs, callGameEntity, getUserMsgID, getUserMsgName,
    getPluginPath, getGameInfo,    loadPluginStub, unloadPluginStub, unloadByHandleStub,
    isQuerying,    makeRequestID,  getHookTables,
};

}  // namespace

// Metamod registers a copy of a plugin's console variable with the engine,
// not the plugin's record: the plugin's record keeps its defaults for ever,
// and a server command changes only the copy (as the real Metamod does).
void metaCvarRegister(cvar_t* c) {
  if (!c || !c->name) return;
  Server::Impl& m = im();
  m.metaCvarNames.emplace_back(c->name);
  m.metaCvars.push_back(*c);
  cvar_t& copy = m.metaCvars.back();
  copy.name = m.metaCvarNames.back().c_str();
  copy.next = nullptr;
  sv().engineTable()->pfnCVarRegister(&copy);
}

const mutil_funcs_t* Server::metaUtilFuncs() { return &g_mutil; }

bool Server::loadGame(const std::string& given) {
  if (given.empty()) {
    driverError("loadGame: no library path");
    return false;
  }
  std::string path = startPath(given);
  void* lib = os::loadLibrary(path.c_str());
  if (!lib) {
    driverError("loadGame: " + path + ": " + os::lastLoadError());
    return false;
  }
  gameLibrary = lib;
  gameLibraryPath = path;
  auto give = sym<GIVE_ENGINE_FUNCTIONS_FN>(lib, "GiveFnptrsToDll");
  if (!give) {
    driverError("loadGame: no GiveFnptrsToDll in " + path);
    return false;
  }
  give(&routedEngine_, &globals_);
  gameDll = DLL_FUNCTIONS{};
  bool ok = false;
  if (auto api2 = sym<GETENTITYAPI2_FN>(lib, "GetEntityAPI2")) {
    int version = INTERFACE_VERSION;
    ok = api2(&gameDll, &version) != 0;
  }
  if (!ok) {
    if (auto api = sym<GETENTITYAPI_FN>(lib, "GetEntityAPI")) ok = api(&gameDll, INTERFACE_VERSION) != 0;
  }
  if (!ok) {
    driverError("loadGame: no game table from " + path);
    return false;
  }
  hasGameNewDll = false;
  if (auto nd = sym<GETNEWDLLFUNCTIONS_FN>(lib, "GetNewDLLFunctions")) {
    int version = NEW_DLL_FUNCTIONS_VERSION;
    gameNewDll = NEW_DLL_FUNCTIONS{};
    hasGameNewDll = nd(&gameNewDll, &version) != 0;
  }
  gamedllFuncs_.newapi_table = hasGameNewDll ? &gameNewDll : nullptr;
  // The engine asks its game library for the server-side hitbox blending.
  blendingInterface = nullptr;
  blendingAnswer = -1;
  if (auto blend = sym<SERVER_BLENDING_FN>(lib, "Server_GetBlendingInterface"))
    blendingAnswer = blend(SERVER_BLENDING_INTERFACE_VERSION, &blendingInterface, g_blendingRecords.studio,
                           g_blendingRecords.rotation, g_blendingRecords.bones);
  return true;
}

bool Server::hasFakeGame() {
  if (fakeGame_) return true;
  FAKE_GAME_API_FN fn = nullptr;
  if (gameLibrary) fn = sym<FAKE_GAME_API_FN>(gameLibrary, "FakeGame_Api");
  if (!fn) {
    // Standalone: the plugin loaded the fake game itself, under another name.
    for (const char* name : {"mp.so", "cs.so", "cs_i386.so", "mp_i386.so", "fake_gamedll.so",
                             "mp.dll", "cs.dll", "fake_gamedll.dll"})
      if (void* lib = os::findLoadedLibrary(name))
        if ((fn = sym<FAKE_GAME_API_FN>(lib, "FakeGame_Api"))) break;
  }
  if (!fn) return false;
  const FakeGameApi* api = fn();
  if (!api || api->version != FAKE_GAME_API_VERSION) return false;
  fakeGame_ = std::make_unique<FakeGame>(*this, api);
  return true;
}

bool Server::attachFakeGame(const std::string& fileName) {
  void* lib = os::findLoadedLibrary(fileName.c_str());
  auto fn = lib ? sym<FAKE_GAME_API_FN>(lib, "FakeGame_Api") : nullptr;
  const FakeGameApi* api = fn ? fn() : nullptr;
  if (!api || api->version != FAKE_GAME_API_VERSION) return false;
  fakeGame_ = std::make_unique<FakeGame>(*this, api);
  return true;
}

FakeGame& Server::game() {
  if (!hasFakeGame()) throw std::runtime_error("host: the fake game library is not loaded");
  return *fakeGame_;
}

Plugin& Server::loadPlugin(const std::string& path, PluginOptions opts) {
  plugins_.push_back(std::make_unique<Plugin>());
  Plugin& p = *plugins_.back();
  p.path = startPath(path);
  p.library = os::loadLibrary(p.path.c_str());
  if (!p.library) {
    driverError("loadPlugin: " + path + ": " + os::lastLoadError());
    return p;
  }
  if (auto init = sym<META_INIT_FN>(p.library, "Meta_Init")) {
    p.lifecycle.push_back("Meta_Init");
    init();
  }
  auto give = sym<GIVE_ENGINE_FUNCTIONS_FN>(p.library, "GiveFnptrsToDll");
  auto query = sym<META_QUERY_FN>(p.library, "Meta_Query");
  auto attach = sym<META_ATTACH_FN>(p.library, "Meta_Attach");
  if (!give || !query || !attach || !os::findSymbol(p.library, "Meta_Detach")) {
    driverError("loadPlugin: " + path + " lacks a Metamod entry point");
    return p;
  }
  p.lifecycle.push_back("GiveFnptrsToDll");
  give(&pluginEngine_, &globals_);
  p.lifecycle.push_back("Meta_Query");
  std::string ifvers = opts.ifvers;
  p.queryResult =
      query(ifvers.data(), &p.info, const_cast<mutil_funcs_t*>(opts.utilFuncs ? opts.utilFuncs : &g_mutil));
  if (!p.queryResult || !p.info) return p;
  if (opts.enforceLoadTime && p.info->loadable < opts.now) {
    driverError("loadPlugin: " + path + " cannot be loaded at this time");
    return p;
  }
  p.lifecycle.push_back("Meta_Attach");
  p.attachResult = attach(opts.now, &p.meta, &metaGlobals_, &gamedllFuncs_);
  if (!p.attachResult) return p;
  auto get = [&](const char* name, auto fn, auto* table, bool& has, int version) {
    if (!fn) return;
    p.lifecycle.push_back(name);
    int v = version;
    int r = fn(table, &v);
    p.getters[name] = {r, v};
    has = r != 0;
  };
  if (p.meta.pfnGetEntityAPI2) {
    get("GetEntityAPI2", p.meta.pfnGetEntityAPI2, &p.dll, p.hasDll, opts.dllVersion);
  } else if (p.meta.pfnGetEntityAPI) {
    p.lifecycle.push_back("GetEntityAPI");
    int r = p.meta.pfnGetEntityAPI(&p.dll, opts.dllVersion);
    p.getters["GetEntityAPI"] = {r, opts.dllVersion};
    p.hasDll = r != 0;
  }
  if (p.meta.pfnGetEntityAPI2_Post) {
    get("GetEntityAPI2_Post", p.meta.pfnGetEntityAPI2_Post, &p.dllPost, p.hasDllPost,
        opts.dllVersion);
  } else if (p.meta.pfnGetEntityAPI_Post) {
    p.lifecycle.push_back("GetEntityAPI_Post");
    int r = p.meta.pfnGetEntityAPI_Post(&p.dllPost, opts.dllVersion);
    p.getters["GetEntityAPI_Post"] = {r, opts.dllVersion};
    p.hasDllPost = r != 0;
  }
  get("GetNewDLLFunctions", p.meta.pfnGetNewDLLFunctions, &p.newDll, p.hasNewDll, opts.newDllVersion);
  get("GetNewDLLFunctions_Post", p.meta.pfnGetNewDLLFunctions_Post, &p.newDllPost, p.hasNewDllPost,
      opts.newDllVersion);
  get("GetEngineFunctions", p.meta.pfnGetEngineFunctions, &p.eng, p.hasEng, opts.engineVersion);
  get("GetEngineFunctions_Post", p.meta.pfnGetEngineFunctions_Post, &p.engPost, p.hasEngPost,
      opts.engineVersion);
  p.loaded = true;
  return p;
}

int Server::unloadPlugin(Plugin& p, PL_UNLOAD_REASON reason) {
  if (!p.library) return 0;
  auto detach = sym<META_DETACH_FN>(p.library, "Meta_Detach");
  int r = 0;
  if (detach) {
    p.lifecycle.push_back("Meta_Detach");
    r = detach(PT_ANYTIME, reason);
  }
  p.loaded = false;
  return r;
}

int Server::callGetter(Plugin& p, const std::string& which, int* version) {
  DLL_FUNCTIONS dll{};
  NEW_DLL_FUNCTIONS nd{};
  enginefuncs_t eng{};
  const META_FUNCTIONS& m = p.meta;
  if (which == "GetEntityAPI2" && m.pfnGetEntityAPI2) return m.pfnGetEntityAPI2(&dll, version);
  if (which == "GetEntityAPI2_Post" && m.pfnGetEntityAPI2_Post)
    return m.pfnGetEntityAPI2_Post(&dll, version);
  if (which == "GetNewDLLFunctions" && m.pfnGetNewDLLFunctions)
    return m.pfnGetNewDLLFunctions(&nd, version);
  if (which == "GetNewDLLFunctions_Post" && m.pfnGetNewDLLFunctions_Post)
    return m.pfnGetNewDLLFunctions_Post(&nd, version);
  if (which == "GetEngineFunctions" && m.pfnGetEngineFunctions)
    return m.pfnGetEngineFunctions(&eng, version);
  if (which == "GetEngineFunctions_Post" && m.pfnGetEngineFunctions_Post)
    return m.pfnGetEngineFunctions_Post(&eng, version);
  if (which == "GetEntityAPI" && m.pfnGetEntityAPI) return m.pfnGetEntityAPI(&dll, *version);
  if (which == "GetEntityAPI_Post" && m.pfnGetEntityAPI_Post)
    return m.pfnGetEntityAPI_Post(&dll, *version);
  driverError("callGetter: plugin has no " + which);
  return 0;
}

void Server::startMap(const std::string& map) {
  if (!map.empty()) {
    opts_.map = map;
    globals_.mapname = allocString(map);
    impl_->models[1] = "maps/" + map + ".bsp";
  }
  if (!gameInitDone_) {
    gameInitDone_ = true;
    callGame(&DLL_FUNCTIONS::pfnGameInit);
  }
  edict_t* world = edict(0);
  world->free = 0;
  world->v.classname = allocString("worldspawn");
  world->v.model = allocString(impl_->models[1]);
  world->v.modelindex = 1;
  world->v.solid = SOLID_BSP;
  world->v.movetype = MOVETYPE_PUSH;
  if (gameLibrary) {
    if (auto fn = sym<void (*)(entvars_t*)>(gameLibrary, "worldspawn")) fn(&world->v);
  }
  callGame(&DLL_FUNCTIONS::pfnSpawn, world);
  callGame(&DLL_FUNCTIONS::pfnServerActivate, impl_->edicts.data(), impl_->highWater,
           globals_.maxClients);
  engine_.pfnServerExecute();
}

}  // namespace host
