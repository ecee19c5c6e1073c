// The server itself: folders, the current-server singleton, players,
// commands and the records a test reads.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "engine_impl.h"
#include "fake_game.h"
#include "os/os.h"

namespace fs = std::filesystem;

namespace host {

namespace {
Server* g_current = nullptr;

// A new, empty folder below the system's temporary folder. create_directory
// reports whether it made the folder, so a name taken by another process
// (tests run in parallel) is never shared: the next name is tried.
fs::path makeTemporaryFolder() {
  fs::path base = fs::temp_directory_path();
  std::random_device device;
  std::mt19937_64 rng((static_cast<uint64_t>(device()) << 32) ^ device());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[40];
    snprintf(name, sizeof name, "nuvdm-host-%016llx", static_cast<unsigned long long>(rng()));
    std::error_code ec;
    if (fs::create_directory(base / name, ec)) return base / name;
  }
  throw std::runtime_error("host: cannot create a temporary folder in " + base.string());
}
}  // namespace

Server& sv() {
  if (!g_current) {
    fprintf(stderr, "host: engine call without a running server\n");
    abort();
  }
  return *g_current;
}
Server::Impl& im() { return sv().impl(); }
Server* Server::current() { return g_current; }

int entIndex(const edict_t* e) {
  if (!e || !g_current) return -1;
  auto& ed = im().edicts;
  if (e < ed.data() || e >= ed.data() + ed.size()) return -1;
  return static_cast<int>(e - ed.data());
}

edict_t* entAt(int index) {
  auto& ed = im().edicts;
  if (index < 0 || index >= static_cast<int>(ed.size())) return nullptr;
  return &ed[index];
}

bool isPlayerIndex(int index) { return index >= 1 && index <= sv().globals()->maxClients; }

std::string vformat(const char* fmt, va_list ap) {
  if (!fmt) return "";
  va_list copy;
  va_copy(copy, ap);
  int n = vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) return "";
  std::string s(static_cast<size_t>(n) + 1, '\0');
  vsnprintf(s.data(), s.size(), fmt, ap);
  s.resize(static_cast<size_t>(n));
  return s;
}

std::string format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vformat(fmt, ap);
  va_end(ap);
  return s;
}

void setAbsBox(edict_t* e) {
  entvars_t& v = e->v;
  v.absmin = v.origin + v.mins;
  v.absmax = v.origin + v.maxs;
  v.size = v.maxs - v.mins;
}

const char* Server::Impl::keep(std::string s) {
  infoReturns.push_back(std::move(s));
  if (infoReturns.size() > 64) infoReturns.erase(infoReturns.begin());
  return infoReturns.back().c_str();
}

Server::Server() : Server(Options{}) {}

Server::Server(Options opts) : opts_(std::move(opts)), impl_(std::make_unique<Impl>()) {
  if (g_current) throw std::logic_error("host: only one Server at a time");
  g_current = this;
  if (opts_.root.empty()) {
    root_ = makeTemporaryFolder().string();
    ownRoot_ = true;
  } else {
    root_ = opts_.root;
  }
  fs::create_directories(fs::path(root_) / opts_.modDir);
  startDir_ = fs::current_path().string();
  if (opts_.chdirToRoot) {
    oldCwd_ = startDir_;
    fs::current_path(root_);
  }
  Impl& m = *impl_;
  m.edicts.resize(static_cast<size_t>(opts_.maxEntities));
  memset(static_cast<void*>(m.edicts.data()), 0, m.edicts.size() * sizeof(edict_t));
  for (size_t i = 0; i < m.edicts.size(); ++i) {
    m.edicts[i].free = i > static_cast<size_t>(opts_.maxClients) ? 1 : 0;
    m.edicts[i].v.pContainingEntity = &m.edicts[i];
  }
  m.highWater = opts_.maxClients + 1;
  m.pool.assign(8u << 20, '\0');
  m.rng = opts_.seed ? opts_.seed : 1;
  players_.resize(static_cast<size_t>(opts_.maxClients) + 1);
  globals_.maxClients = opts_.maxClients;
  globals_.maxEntities = opts_.maxEntities;
  globals_.pStringBase = m.pool.data();
  globals_.deathmatch = 1;
  globals_.time = 1.0f;
  globals_.frametime = 0.01f;
  buildEngine();
  globals_.mapname = allocString(opts_.map);
  m.models.push_back("maps/" + opts_.map + ".bsp");
  gamedllFuncs_.dllapi_table = &gameDll;
  gamedllFuncs_.newapi_table = nullptr;
  // The engine's own console variables the plugins and games read.
  setCvar("sv_gravity", "800");
  setCvar("sv_maxspeed", "320");
  setCvar("mp_friendlyfire", "0");
  setCvar("sv_skyname", "desert");
  setCvar("developer", "0");
}

Server::~Server() {
  for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
    if ((*it)->loaded) unloadPlugin(**it, PNL_CMD_FORCED);
  for (void* f : impl_->files) free(f);
  for (auto& e : impl_->edicts)
    if (e.pvPrivateData) free(e.pvPrivateData);
  fakeGame_.reset();
  if (gameLibrary) os::freeLibrary(gameLibrary);
  for (auto& p : plugins_)
    if (p->library) os::freeLibrary(p->library);
  if (!oldCwd_.empty()) {
    std::error_code ec;
    fs::current_path(oldCwd_, ec);
  }
  if (ownRoot_) {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  g_current = nullptr;
}

// --- folders and files ------------------------------------------------------

std::string Server::modPath() const { return (fs::path(root_) / opts_.modDir).string(); }

void Server::writeFile(const std::string& rel, const std::string& text) {
  fs::path p = fs::path(modPath()) / rel;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << text;
}

std::string Server::readFile(const std::string& rel) const {
  std::ifstream in(fs::path(modPath()) / rel, std::ios::binary);
  if (!in) return "";
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Server::fileExists(const std::string& rel) const {
  return fs::exists(fs::path(modPath()) / rel);
}

std::string Server::startPath(const std::string& path) const {
  fs::path p(path);
  if (!p.has_root_directory() || p.has_root_name()) return path;
  // Only Windows paths have a root name (the drive); elsewhere it is empty.
  return (fs::path(startDir_).root_name() / p).string();
}

void Server::copyIntoMod(const std::string& from, const std::string& rel) {
  fs::path p = fs::path(modPath()) / rel;
  fs::create_directories(p.parent_path());
  fs::copy_file(startPath(from), p, fs::copy_options::overwrite_existing);
}

std::string Server::defaultGameLibrary() {
#ifdef FAKE_GAMEDLL_PATH
  return FAKE_GAMEDLL_PATH;
#else
  return "";
#endif
}

// --- records ------------------------------------------------------------------

void Server::recordCall(const char* slot) { ++calls_[slot]; }

int Server::engineCalls(const std::string& slot) const {
  auto it = calls_.find(slot);
  return it == calls_.end() ? 0 : it->second;
}

void Server::recordAlert(int type, std::string text) {
  const cvar_t* developer = cvar("developer");
  const float level = developer ? developer->value : 0;
  const bool shown = type != at_logged && (type == at_aiconsole ? level >= 2 : level > 0);
  alerts_.push_back({type, std::move(text), shown});
  if (onAlert) onAlert(alerts_.back());
}

void printShownAlert(const Alert& alert) {
  if (!alert.shown) return;
  fputs(alert.text.c_str(), stdout);
  fflush(stdout);
}

std::vector<std::string> Server::alertTexts(int type) const {
  std::vector<std::string> out;
  for (auto& a : alerts_)
    if (type < 0 || a.type == type) out.push_back(a.text);
  return out;
}

std::vector<Message> Server::messagesNamed(const std::string& name) const {
  std::vector<Message> out;
  for (auto& m : messages_)
    if (m.name == name) out.push_back(m);
  return out;
}

std::vector<Message> Server::messagesTo(int player) const {
  std::vector<Message> out;
  for (auto& m : messages_)
    if ((m.dest == MSG_ONE || m.dest == MSG_ONE_UNRELIABLE) && m.receiver == player)
      out.push_back(m);
  return out;
}

std::vector<Message> Server::tempEntities(int te) const {
  std::vector<Message> out;
  for (auto& m : messages_)
    if (m.isTempEntity() && (te < 0 || m.teCode() == te)) out.push_back(m);
  return out;
}

void Server::clearRecords() {
  messages_.clear();
  sounds_.clear();
  alerts_.clear();
  prints_.clear();
  metaLogs_.clear();
  serverCommands_.clear();
  driverErrors_.clear();
  calls_.clear();
}

int Server::modelIndex(const std::string& name) const {
  auto& m = impl_->models;
  for (size_t i = 1; i < m.size(); ++i)
    if (m[i] == name) return static_cast<int>(i);
  return 0;
}

int Server::soundIndex(const std::string& name) const {
  auto& m = impl_->soundsPre;
  for (size_t i = 1; i < m.size(); ++i)
    if (m[i] == name) return static_cast<int>(i);
  return 0;
}

int Server::userMsgId(const std::string& name) const {
  auto& u = impl_->userMsgs;
  for (size_t i = 0; i < u.size(); ++i)
    if (u[i] == name) return Impl::kFirstUserMsg + static_cast<int>(i);
  return 0;
}

std::string Server::userMsgName(int id) const {
  int i = id - Impl::kFirstUserMsg;
  auto& u = impl_->userMsgs;
  return i >= 0 && i < static_cast<int>(u.size()) ? u[static_cast<size_t>(i)] : "";
}

void Server::seed(unsigned s) { impl_->rng = s ? s : 1; }

// --- entities -------------------------------------------------------------------

edict_t* Server::edict(int index) {
  edict_t* e = entAt(index);
  if (!e) throw std::out_of_range("host: no edict " + std::to_string(index));
  return e;
}

int Server::indexOf(const edict_t* e) const { return entIndex(e); }

std::string Server::str(string_t s) const {
  if (s < 0 || static_cast<size_t>(s) >= impl_->pool.size()) return "";
  return impl_->pool.data() + s;
}

string_t Server::allocString(const std::string& s) { return engine_.pfnAllocString(s.c_str()); }

std::vector<edict_t*> Server::findByClass(const std::string& name) {
  std::vector<edict_t*> out;
  for (int i = 0; i < impl_->highWater; ++i) {
    edict_t& e = impl_->edicts[static_cast<size_t>(i)];
    if (!e.free && e.v.classname && str(e.v.classname) == name) out.push_back(&e);
  }
  return out;
}

int Server::entityCount() const {
  int n = 0;
  for (int i = 0; i < impl_->highWater; ++i)
    if (!impl_->edicts[static_cast<size_t>(i)].free) ++n;
  return n;
}

edict_t* Server::spawn(const std::string& classname, Vec3 origin) {
  edict_t* e = engine_.pfnCreateNamedEntity(allocString(classname));
  if (!e) return nullptr;
  e->v.origin = toVec3(origin);
  setAbsBox(e);
  callGame(&DLL_FUNCTIONS::pfnSpawn, e);
  return e;
}

int Server::keyValue(edict_t* e, const std::string& key, const std::string& value) {
  std::string cls = e && e->v.classname ? str(e->v.classname) : "";
  std::string k = key, v = value;
  KeyValueData kvd{cls.data(), k.data(), v.data(), 0};
  callGame(&DLL_FUNCTIONS::pfnKeyValue, e, &kvd);
  return kvd.fHandled;
}

edict_t* Server::spawnMapEntity(const std::vector<std::pair<std::string, std::string>>& keys) {
  std::string cls;
  for (auto& [k, v] : keys)
    if (k == "classname") cls = v;
  if (cls.empty()) {
    driverError("spawnMapEntity: no classname");
    return nullptr;
  }
  edict_t* e = engine_.pfnCreateNamedEntity(allocString(cls));
  if (!e) return nullptr;
  for (auto& [k, v] : keys) keyValue(e, k, v);
  callGame(&DLL_FUNCTIONS::pfnSpawn, e);
  return e;
}

TraceResult Server::trace(Vec3 start, Vec3 end, int noMonsters, edict_t* skip, int hull) {
  TraceResult tr{};
  float a[3] = {start.x, start.y, start.z}, b[3] = {end.x, end.y, end.z};
  engine_.pfnTraceHull(a, b, noMonsters, hull, skip, &tr);
  return tr;
}

// --- console variables -------------------------------------------------------

void Server::setCvar(const std::string& name, const std::string& value) {
  engine_.pfnCVarSetString(name.c_str(), value.c_str());
}
float Server::cvarFloat(const std::string& name) { return engine_.pfnCVarGetFloat(name.c_str()); }
std::string Server::cvarString(const std::string& name) {
  const char* s = engine_.pfnCVarGetString(name.c_str());
  return s ? s : "";
}
cvar_t* Server::cvar(const std::string& name) {
  auto it = impl_->cvars.find(name);
  return it == impl_->cvars.end() ? nullptr : it->second.record;
}
const std::vector<std::string>& Server::cvarOrder() const { return impl_->cvarOrder; }

// --- players ---------------------------------------------------------------------

std::vector<int> Server::players() const {
  std::vector<int> out;
  for (size_t i = 1; i < players_.size(); ++i)
    if (players_[i].connected) out.push_back(static_cast<int>(i));
  return out;
}

int Server::viewOf(int player) const {
  auto it = impl_->views.find(player);
  return it == impl_->views.end() ? 0 : it->second;
}

bool Server::connected(int p) const {
  return p >= 1 && p < static_cast<int>(players_.size()) && players_[static_cast<size_t>(p)].connected;
}

int Server::connect(const std::string& name, const std::string& address, bool bot) {
  int index = 0;
  for (size_t i = 1; i < players_.size(); ++i)
    if (!players_[i].connected) {
      index = static_cast<int>(i);
      break;
    }
  if (!index) return 0;
  edict_t* e = edict(index);
  if (e->pvPrivateData) free(e->pvPrivateData);
  memset(static_cast<void*>(e), 0, sizeof(edict_t));
  e->v.pContainingEntity = e;
  e->serialnumber = ++impl_->nextUserId;
  PlayerSlot& slot = players_[static_cast<size_t>(index)];
  slot = PlayerSlot{};
  slot.connected = true;
  slot.bot = bot;
  slot.name = name;
  slot.address = address;
  slot.userId = impl_->nextUserId;
  slot.info["name"] = name;
  slot.info["model"] = "gordon";
  slot.info["rate"] = "25000";
  rebuildBuffers(index);
  e->v.netname = allocString(name);
  if (bot) e->v.flags |= FL_FAKECLIENT;
  char reason[128] = "";
  qboolean ok = callGame(&DLL_FUNCTIONS::pfnClientConnect, e, name.c_str(), address.c_str(), reason);
  if (!ok) {
    rejectReason_ = reason;
    slot.connected = false;
    return 0;
  }
  impl_->currentPlayer = index - 1;
  callGame(&DLL_FUNCTIONS::pfnClientPutInServer, e);
  impl_->currentPlayer = -1;
  return index;
}

void Server::disconnect(int p) {
  if (!connected(p)) return;
  edict_t* e = edict(p);
  callGame(&DLL_FUNCTIONS::pfnClientDisconnect, e);
  players_[static_cast<size_t>(p)].connected = false;
  e->v.flags &= ~FL_CLIENT;
  world_.clearEntityBox(p);
}

void Server::place(int p, Vec3 origin, Vec3 angles) {
  edict_t* e = edict(p);
  e->v.origin = toVec3(origin);
  e->v.velocity = vec3_t(0, 0, 0);
  e->v.v_angle = toVec3(angles);
  e->v.angles = toVec3(angles);
  setAbsBox(e);
}

void Server::clientCommand(int p, const std::string& line) {
  Impl& m = *impl_;
  auto savedArgv = m.argv;
  auto savedArgs = m.args;
  tokenize(line, m.argv, m.args);
  m.currentPlayer = p - 1;
  callGame(&DLL_FUNCTIONS::pfnClientCommand, edict(p));
  m.currentPlayer = -1;
  m.argv = savedArgv;
  m.args = savedArgs;
}

bool Server::serverCommand(const std::string& line) { return runConsoleLine(line); }

void Server::rebuildBuffers(int p) {
  // The buffers are handed out as char*: keep their storage in place.
  PlayerSlot& s = players_[static_cast<size_t>(p)];
  s.infoBuffer.reserve(1024);
  s.physicsBuffer.reserve(1024);
  s.infoBuffer.clear();
  for (auto& [k, v] : s.info) s.infoBuffer += "\\" + k + "\\" + v;
  s.physicsBuffer.clear();
  for (auto& [k, v] : s.physics) s.physicsBuffer += "\\" + k + "\\" + v;
}

std::string Server::infoKey(int p, const std::string& key) {
  auto& info = players_.at(static_cast<size_t>(p)).info;
  auto it = info.find(key);
  return it == info.end() ? "" : it->second;
}

void Server::setInfoKey(int p, const std::string& key, const std::string& value) {
  players_.at(static_cast<size_t>(p)).info[key] = value;
  rebuildBuffers(p);
}

std::string Server::physicsKey(int p, const std::string& key) {
  auto& ph = players_.at(static_cast<size_t>(p)).physics;
  auto it = ph.find(key);
  return it == ph.end() ? "" : it->second;
}

std::string Server::physicsInfo(int p) { return players_.at(static_cast<size_t>(p)).physicsBuffer; }

}  // namespace host
