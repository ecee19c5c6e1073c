// The simulated server: an engine over an in-memory world of convex solids, a Metamod
// driver and a game library, so that a plugin test reads like a game session.
//
//   host::Server sv;                         // temporary game folder, map
//   sv.loadGame();                           // the fake game library
//   auto& p = sv.loadPlugin(GRAPNEL_MM_PATH); // through the Metamod driver
//   sv.startMap();                           // GameInit, worldspawn, activate
//   sv.world().addRoom({-512,-512,0}, {512,512,256});
//   int id = sv.connect("Alice");           // connect + put in server (spawn)
//   sv.place(id, {0, 0, 36});
//   sv.clientCommand(id, "+hook");
//   sv.runFor(0.5f);
//   vec3_t v = sv.vars(id).velocity;
//   auto texts = sv.messagesNamed("TextMsg");
//
// Locating the built libraries: tests/host/CMakeLists.txt defines the cache
// variable NUVDM_FAKE_GAMEDLL (the generator expression of the fake game
// library's file) and the function nuvdm_host_test(<target> SOURCES ..),
// which links nuvdm_host and gtest and passes FAKE_GAMEDLL_PATH to the code.
// Server::loadGame() without a path uses FAKE_GAMEDLL_PATH when the test was
// compiled with it (see defaultGameLibrary()).
//
// One Server exists at a time (the engine's tables are plain C function
// pointers without a context, so they reach the current server through a
// singleton). Everything is recorded for the test to read: user and
// temporary-entity messages, sounds, alert lines, console prints, Metamod
// log lines, and a call count for every engine slot by name.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hl/hl.h"
#include "metamod/metamod.h"
#include "world.h"

namespace host {

inline Vec3 toVec(const vec3_t& v) { return {v.x, v.y, v.z}; }
inline vec3_t toVec3(Vec3 v) { return vec3_t(v.x, v.y, v.z); }

// One value written into a message, in write order.
struct MsgValue {
  enum Kind { Byte, Char, Short, Long, Angle, Coord, String, Entity } kind;
  int i = 0;          // integer kinds (and Angle/Coord truncated)
  float f = 0;        // Angle and Coord (and integer kinds as float)
  std::string s;      // String
};

// One user or temporary-entity message, from pfnMessageBegin to pfnMessageEnd.
struct Message {
  int dest = 0;               // MSG_*
  int type = 0;               // registered id, or SVC_TEMPENTITY (23) ...
  std::string name;           // registered name; "SVC_TEMPENTITY"; or "svc_<n>"
  bool hasOrigin = false;
  vec3_t origin{0, 0, 0};
  int receiver = 0;           // entity index of the edict argument, 0 for none
  bool fromGame = false;      // came through the game library's engine table
  std::vector<MsgValue> values;

  size_t size() const { return values.size(); }
  int intAt(size_t i) const { return i < values.size() ? values[i].i : 0; }
  float floatAt(size_t i) const { return i < values.size() ? values[i].f : 0; }
  std::string stringAt(size_t i) const { return i < values.size() ? values[i].s : ""; }
  bool isTempEntity() const { return type == 23; }
  int teCode() const { return isTempEntity() ? intAt(0) : -1; }  // TE_*
};

struct Sound {
  int entity = 0;
  int channel = 0;
  std::string sample;
  float volume = 0, attenuation = 0;
  int flags = 0, pitch = 0;
  bool ambient = false;   // pfnEmitAmbientSound
  vec3_t pos{0, 0, 0};    // ambient sounds only
};

struct Alert {
  int type = 0;           // ALERT_TYPE
  std::string text;       // formatted
  // Printed on the server console. As in the Half-Life engine family, only in
  // developer mode: the console variable developer above 0 (at_aiconsole: 2
  // and above). at_logged lines go to the server log, never to the console.
  bool shown = false;
};

// Prints an alert that is shown on standard output at once, as a dedicated
// server's console does (for Server::onAlert); does nothing for the others.
void printShownAlert(const Alert& alert);

// Type of a recorded command sent to a client console (pfnClientCommand).
inline constexpr int kStuffText = -1;

struct ClientPrint {
  int entity = 0;         // 0: pfnServerPrint
  int type = 0;           // PRINT_TYPE, or kStuffText
  std::string text;
};

// A line through Metamod's utility table (mutil_funcs_t).
struct MetaLog {
  std::string plugin;     // logtag of the plugin, or its name
  std::string kind;       // "console", "message", "error", "developer", "centersay"
  std::string text;
};

// Load options of a Metamod plugin.
struct PluginOptions {
  PLUG_LOADTIME now = PT_STARTUP;        // passed to Meta_Attach
  std::string ifvers = "5:13";           // passed to Meta_Query
  int dllVersion = INTERFACE_VERSION;    // passed to the DLL_FUNCTIONS getters
  int newDllVersion = NEW_DLL_FUNCTIONS_VERSION;
  int engineVersion = ENGINE_INTERFACE_VERSION;
  // Refuse, as Metamod does, a plugin whose plugin_info_t::loadable is
  // earlier than `now` (Meta_Attach is then not called). Off by default, so
  // that a plugin's own check in Meta_Attach can be tested.
  bool enforceLoadTime = false;
  // Metamod's utility table handed to Meta_Query; null: the driver's own
  // (Server::metaUtilFuncs). A stand-in Metamod library can hand over one
  // of its own, as a real Metamod's functions lie in its library.
  const mutil_funcs_t* utilFuncs = nullptr;
};

// A plugin loaded through the Metamod driver.
struct Plugin {
  std::string path;
  void* library = nullptr;
  bool loaded = false;                   // Meta_Attach returned 1
  plugin_info_t* info = nullptr;         // from Meta_Query
  int queryResult = 0, attachResult = 0;
  // Order of the entry points as they were called ("Meta_Init", ...).
  std::vector<std::string> lifecycle;
  META_FUNCTIONS meta{};                 // filled in Meta_Attach
  DLL_FUNCTIONS dll{}, dllPost{};
  NEW_DLL_FUNCTIONS newDll{}, newDllPost{};
  enginefuncs_t eng{}, engPost{};
  bool hasDll = false, hasDllPost = false, hasNewDll = false, hasNewDllPost = false;
  bool hasEng = false, hasEngPost = false;
  // For each getter called: its result and the version written back.
  std::map<std::string, std::pair<int, int>> getters;
};

// Calls the game library through the exported control table of the fake
// game library (tests/host/fake_gamedll/fake_game_api.h), to make it send
// what a real game sends, and to read what reached it.
class FakeGame;

// Which boxes an engine trace sees: the world, and the solid entities except
// the skipped one, the entities it owns and its owner; with noMonsters 1
// only brush entities (SOLID_BSP). With only >= 0, just that entity's box.
// For tracing World directly (after Server::syncEntityBoxes), for example
// from a playermove_t harness.
BoxFilter entityFilter(int noMonsters, edict_t* skip, int only = -1);

class Server {
 public:
  struct Options {
    std::string root;           // server folder; empty: a new temporary folder
    std::string modDir = "cstrike";  // pfnGetGameDir; a folder inside root
    std::string map = "de_nuvdm";
    int maxClients = 32;
    int maxEntities = 1024;
    bool dedicated = false;
    unsigned seed = 12345;      // pfnRandomLong / pfnRandomFloat
    bool chdirToRoot = true;    // the working directory is the server folder
  };

  Server();
  explicit Server(Options opts);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  static Server* current();

  // --- folders and files -------------------------------------------------
  const std::string& root() const { return root_; }
  std::string modPath() const;                 // root/modDir
  // Writes a file below the mod folder (folders are created).
  void writeFile(const std::string& relPath, const std::string& text);
  std::string readFile(const std::string& relPath) const;  // "" when missing
  bool fileExists(const std::string& relPath) const;
  // Copies a file (for example the fake game library) below the mod folder.
  void copyIntoMod(const std::string& from, const std::string& relPath);
  // A path as a test gives it, for loading and copying libraries. A path
  // rooted without a drive ("/work/build/bin/x.dll", as the build hands it to
  // a Windows test under Wine) takes the drive of the folder the process was
  // in when the server started: the server folder may lie on another drive.
  // Other paths come back as they are.
  std::string startPath(const std::string& path) const;

  // --- libraries ---------------------------------------------------------
  // Loads the engine's game library directly, as the engine does: its
  // GiveFnptrsToDll, GetEntityAPI2 (else GetEntityAPI), GetNewDLLFunctions.
  // Named entity creation uses this library's class exports. With plugins
  // loaded (loadPlugin), this library is the game behind Metamod. Returns
  // false (and records a driver error) when it does not load.
  bool loadGame(const std::string& path = defaultGameLibrary());
  // Loads a plugin through the Metamod driver: Meta_Init (where exported),
  // GiveFnptrsToDll, Meta_Query, Meta_Attach, then the table getters the
  // plugin filled in. loadGame must have been called first (Metamod loads
  // the game library before the plugins).
  Plugin& loadPlugin(const std::string& path, PluginOptions opts = {});
  // Meta_Detach (reason PNL_COMMAND by default) and unload.
  int unloadPlugin(Plugin& p, PL_UNLOAD_REASON reason = PNL_COMMAND);
  std::vector<std::unique_ptr<Plugin>>& plugins() { return plugins_; }
  // Calls one table getter of a loaded plugin again with a scratch table and
  // the version given; returns the result, the version is written back.
  // which: "GetEntityAPI2", "GetEntityAPI2_Post", "GetNewDLLFunctions",
  // "GetNewDLLFunctions_Post", "GetEngineFunctions", "GetEngineFunctions_Post",
  // "GetEntityAPI", "GetEntityAPI_Post" (by value).
  int callGetter(Plugin& p, const std::string& which, int* version);
  // The driver's utility table (its functions record into metaLogs()).
  static const mutil_funcs_t* metaUtilFuncs();
  static std::string defaultGameLibrary();
  // The fake game library's control table (null when the game is not the
  // fake one, or it has not been loaded yet). In standalone mode (the
  // plugin loaded as the game library) it looks for a loaded copy named
  // mp.so, cs.so, mp_i386.so, cs_i386.so, fake_gamedll.so (on Windows
  // mp.dll, cs.dll, fake_gamedll.dll); see also
  // attachFakeGame.
  FakeGame& game();
  bool hasFakeGame();
  // Finds the fake game's control table in a library the process loaded
  // under the given file name (standalone mode: the copy in the mod's dlls
  // folder that the plugin loaded, for example "mp.so").
  bool attachFakeGame(const std::string& fileName);

  // --- the game's calls (through Metamod when plugins are loaded) --------
  // Calls one game-library slot through every plugin's pre hook, the game
  // library (unless superseded) and the post hooks, returning what Metamod
  // returns. Without plugins it calls the game library directly.
  template <typename R, typename... P, typename... A>
  R callGame(R (*DLL_FUNCTIONS::*slot)(P...), A... args);
  template <typename R, typename... P, typename... A>
  R callNewGame(R (*NEW_DLL_FUNCTIONS::*slot)(P...), A... args);

  // The table the game library received (its engine calls pass the
  // plugins' engine hooks) and the raw engine table. Plugins receive the raw
  // table except for pfnCVarRegister, which, as Metamod does, registers a
  // copy of the plugin's record (pluginEngineTable).
  enginefuncs_t* gameEngineTable() { return &routedEngine_; }
  enginefuncs_t* engineTable() { return &engine_; }
  enginefuncs_t* pluginEngineTable() { return &pluginEngine_; }
  globalvars_t* globals() { return &globals_; }
  meta_globals_t* metaGlobals() { return &metaGlobals_; }

  // --- map and frames ----------------------------------------------------
  // GameInit (once), worldspawn created and spawned, ServerActivate.
  void startMap(const std::string& map = "");
  // One server frame: time += dt, StartFrame, for each player
  // PlayerPreThink, movement, PlayerPostThink; then thinks of entities
  // whose nextthink passed, and touches of moving boxes.
  void runFrame(float dt = 0.01f);
  void runFor(float seconds, float dt = 0.01f);
  float time() const { return globals_.time; }
  // Replaces the host's simple player movement (for the playermove_t
  // harness): called per player and frame instead of the integration.
  std::function<void(Server&, int player, float dt)> playerMove;
  // Called with every alert as it is recorded, shown or not (a console that
  // prints the shown ones as they come, also when a library then ends the
  // process).
  std::function<void(const Alert&)> onAlert;

  // --- players -----------------------------------------------------------
  // pfnClientConnect (a rejected player is disconnected again and 0 is
  // returned), then pfnClientPutInServer (the game spawns him). Returns the
  // entity index 1..maxClients.
  int connect(const std::string& name, const std::string& address = "127.0.0.1:27005",
              bool bot = false);
  void disconnect(int player);
  // Sets origin (and absmin/absmax) and clears velocity.
  void place(int player, Vec3 origin, Vec3 viewAngles = {});
  // Dispatches a client command: the words become pfnCmd_Argv/Argc/Args,
  // then pfnClientCommand runs through Metamod and the game library.
  void clientCommand(int player, const std::string& line);
  // A server console command: a command added by pfnAddServerCommand runs
  // with the words as arguments; "name value" sets a console variable;
  // anything else is recorded. Returns false when nothing handled it.
  bool serverCommand(const std::string& line);
  std::vector<int> players() const;   // connected entity indexes
  int viewOf(int player) const;       // entity of the last pfnSetView, else 0
  bool connected(int player) const;
  const std::string& lastRejectReason() const { return rejectReason_; }

  // --- entities ----------------------------------------------------------
  edict_t* edict(int index);
  entvars_t& vars(int index) { return edict(index)->v; }
  int indexOf(const edict_t* e) const;
  // pfnCreateNamedEntity (class export of the game library) then pfnSpawn.
  edict_t* spawn(const std::string& classname, Vec3 origin = {});
  // A map entity as the engine spawns one from the map's entity list:
  // pfnCreateNamedEntity of its "classname", pfnKeyValue for every pair in
  // order (the classname pair included), then pfnSpawn. Null when the class
  // does not exist.
  edict_t* spawnMapEntity(const std::vector<std::pair<std::string, std::string>>& keys);
  // One pfnKeyValue call (through Metamod); returns fHandled.
  int keyValue(edict_t* e, const std::string& key, const std::string& value);
  // Entities whose classname is name (not free).
  std::vector<edict_t*> findByClass(const std::string& name);
  int entityCount() const;            // used edicts, world included
  std::string str(string_t s) const;  // pfnSzFromIndex
  string_t allocString(const std::string& s);

  // --- world -------------------------------------------------------------
  World& world() { return world_; }
  // The engine's trace over the world and the solid entities (same as
  // pfnTraceHull / pfnTraceLine with hull 0).
  TraceResult trace(Vec3 start, Vec3 end, int noMonsters = 0, edict_t* skip = nullptr,
                    int hull = 0);

  // Brings the entity boxes of the world in step with the solid entities
  // (done by every engine trace; call it before tracing the World directly).
  void syncEntityBoxes();

  // --- console variables -------------------------------------------------
  void setCvar(const std::string& name, const std::string& value);
  float cvarFloat(const std::string& name);
  std::string cvarString(const std::string& name);
  cvar_t* cvar(const std::string& name);   // null when not registered
  // Names of the registered console variables, in registration order.
  const std::vector<std::string>& cvarOrder() const;

  // --- info and physics keys ---------------------------------------------
  std::string infoKey(int player, const std::string& key);
  void setInfoKey(int player, const std::string& key, const std::string& value);
  std::string physicsKey(int player, const std::string& key);
  std::string physicsInfo(int player);

  // --- records -------------------------------------------------------------
  const std::vector<Message>& messages() const { return messages_; }
  std::vector<Message> messagesNamed(const std::string& name) const;
  std::vector<Message> messagesTo(int player) const;   // MSG_ONE* to him
  std::vector<Message> tempEntities(int teCode = -1) const;
  const std::vector<Sound>& sounds() const { return sounds_; }
  // Every alert as recorded, whatever the level and the developer mode.
  const std::vector<Alert>& alerts() const { return alerts_; }
  std::vector<std::string> alertTexts(int type = -1) const;
  const std::vector<ClientPrint>& prints() const { return prints_; }
  const std::vector<MetaLog>& metaLogs() const { return metaLogs_; }
  const std::vector<std::string>& serverCommands() const { return serverCommands_; }
  int modelIndex(const std::string& name) const;   // 0 when not precached
  int soundIndex(const std::string& name) const;   // 0 when not precached
  int userMsgId(const std::string& name) const;    // 0 when not registered
  std::string userMsgName(int id) const;
  // Calls of an engine slot by name ("pfnTraceLine") from anybody, since
  // the server started (or clearRecords).
  int engineCalls(const std::string& slot) const;
  // Errors of the Metamod driver (a hook that left mres at MRES_UNSET ...).
  const std::vector<std::string>& driverErrors() const { return driverErrors_; }
  void clearRecords();

  // --- clock and randomness ------------------------------------------------
  void setTime(float t) { globals_.time = t; }
  void seed(unsigned s);

  // --- internals shared by the engine slot files ---------------------------
  struct PlayerSlot {
    bool connected = false;
    bool bot = false;
    std::string name, address;
    int userId = 0;
    std::map<std::string, std::string> info, physics;
    std::string infoBuffer, physicsBuffer;    // rebuilt on every change
  };
  struct Impl;
  Impl& impl() { return *impl_; }
  PlayerSlot& playerSlot(int index) { return players_[index]; }
  void recordCall(const char* slot);
  void recordMessage(Message m) { messages_.push_back(std::move(m)); }
  void recordSound(Sound s) { sounds_.push_back(std::move(s)); }
  void recordAlert(int type, std::string text);
  void recordPrint(int entity, int type, std::string text) {
    prints_.push_back({entity, type, std::move(text)});
  }
  void recordMetaLog(MetaLog l) { metaLogs_.push_back(std::move(l)); }
  void recordServerCommand(std::string c) { serverCommands_.push_back(std::move(c)); }
  void driverError(std::string e) { driverErrors_.push_back(std::move(e)); }
  void rebuildBuffers(int player);   // after a change of info or physics keys
  bool dedicated() const { return opts_.dedicated; }
  int routedDepth = 0;  // >0 while an engine call of the game library runs
  // Calls of plugins' hooks (pre and post, game library and engine) the
  // Metamod driver made since the server started.
  long pluginHookCalls = 0;

  // Game-library tables (the real game's, as the engine loaded it).
  DLL_FUNCTIONS gameDll{};
  NEW_DLL_FUNCTIONS gameNewDll{};
  bool hasGameNewDll = false;
  void* gameLibrary = nullptr;
  std::string gameLibraryPath;
  // What the game library answered the engine's look-up of the hitbox
  // blending at load (Server_GetBlendingInterface, version 1): -1 when it
  // exports none; the interface record it handed back.
  int blendingAnswer = -1;
  void* blendingInterface = nullptr;

 private:
  void buildEngine();

  Options opts_;
  std::string root_;
  bool ownRoot_ = false;
  std::string oldCwd_;
  std::string startDir_;  // the current folder when the server was made
  std::unique_ptr<Impl> impl_;
  World world_;
  globalvars_t globals_{};
  enginefuncs_t engine_{};        // raw engine: counted, then implemented
  enginefuncs_t routedEngine_{};  // through the plugins' engine hooks
  enginefuncs_t pluginEngine_{};  // handed to Metamod plugins
  meta_globals_t metaGlobals_{};
  gamedll_funcs_t gamedllFuncs_{};
  std::vector<std::unique_ptr<Plugin>> plugins_;
  std::unique_ptr<FakeGame> fakeGame_;
  std::vector<PlayerSlot> players_;
  std::string rejectReason_;
  bool gameInitDone_ = false;

  std::vector<Message> messages_;
  std::vector<Sound> sounds_;
  std::vector<Alert> alerts_;
  std::vector<ClientPrint> prints_;
  std::vector<MetaLog> metaLogs_;
  std::vector<std::string> serverCommands_;
  std::vector<std::string> driverErrors_;
  std::map<std::string, int> calls_;
};

}  // namespace host

#include "metamod_dispatch.h"
