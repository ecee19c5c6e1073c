// Engine slots: files of the game folder, info and physics key buffers,
// player queries, the clock and the random numbers.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine_impl.h"

namespace fs = std::filesystem;

namespace host {

namespace {

fs::path inMod(const char* name) { return fs::path(sv().modPath()) / name; }

// The whole file as one block with a terminating zero (not counted).
byte* loadFile(char* name, int* length) {
  if (length) *length = 0;
  if (!name) return nullptr;
  std::ifstream in(inMod(name), std::ios::binary);
  if (!in) return nullptr;
  std::stringstream ss;
  ss << in.rdbuf();
  std::string data = ss.str();
  byte* block = static_cast<byte*>(malloc(data.size() + 1));
  memcpy(block, data.data(), data.size());
  block[data.size()] = 0;
  im().files.insert(block);
  if (length) *length = static_cast<int>(data.size());
  return block;
}

void freeFile(void* block) {
  if (!block) return;
  auto& files = im().files;
  if (!files.erase(block)) {
    sv().driverError("pfnFreeFile: not a block of pfnLoadFileForMe");
    return;
  }
  free(block);
}

int fileSize(char* name) {
  std::error_code ec;
  auto n = name ? fs::file_size(inMod(name), ec) : 0;
  return ec || !name ? -1 : static_cast<int>(n);
}

int compareFileTime(char* a, char* b, int* cmp) {
  if (cmp) *cmp = 0;
  std::error_code ea, eb;
  if (!a || !b) return 0;
  auto ta = fs::last_write_time(inMod(a), ea), tb = fs::last_write_time(inMod(b), eb);
  if (ea || eb) return 0;
  if (cmp) *cmp = ta < tb ? -1 : ta > tb ? 1 : 0;
  return 1;
}

// The mod folder's name, as the engine reports it ("cstrike").
void getGameDir(char* out) {
  if (!out) return;
  std::string dir = fs::path(sv().modPath()).filename().string();
  strcpy(out, dir.c_str());
}

int isMapValid(char* name) {
  return name && fs::exists(inMod((std::string("maps/") + name + ".bsp").c_str())) ? 1 : 0;
}

int playerOf(const edict_t* e) {
  int i = entIndex(e);
  return isPlayerIndex(i) ? i : 0;
}

char* infoKeyBuffer(edict_t* e) {
  int p = playerOf(e);
  if (!p) return im().serverInfo.data();
  return sv().playerSlot(p).infoBuffer.data();
}

// Reads a key from any "\key\value" buffer.
std::string valueIn(const char* buffer, const char* key) {
  if (!buffer || !key) return "";
  std::string b = buffer;
  size_t i = 0;
  while (i < b.size()) {
    if (b[i] == '\\') ++i;
    size_t k = b.find('\\', i);
    if (k == std::string::npos) break;
    std::string name = b.substr(i, k - i);
    size_t v = b.find('\\', k + 1);
    std::string value = b.substr(k + 1, v == std::string::npos ? std::string::npos : v - k - 1);
    if (name == key) return value;
    if (v == std::string::npos) break;
    i = v;
  }
  return "";
}

char* infoKeyValue(char* buffer, char* key) {
  return const_cast<char*>(im().keep(valueIn(buffer, key)));
}

int playerOfBuffer(const char* buffer) {
  Server& s = sv();
  for (int p = 1; p <= s.globals()->maxClients; ++p)
    if (s.playerSlot(p).infoBuffer.data() == buffer) return p;
  return 0;
}

void setKeyValue(char* buffer, char* key, char* value) {
  if (!buffer || !key) return;
  int p = playerOfBuffer(buffer);
  if (p) {
    sv().setInfoKey(p, key, value ? value : "");
  } else if (buffer == im().serverInfo.data()) {
    sv().driverError("pfnSetKeyValue on the server info is not supported");
  } else {
    sv().driverError("pfnSetKeyValue: unknown buffer");
  }
}

void setClientKeyValue(int index, char* buffer, char* key, char* value) {
  if (!isPlayerIndex(index) || !key) return;
  if (buffer && buffer != sv().playerSlot(index).infoBuffer.data())
    sv().driverError("pfnSetClientKeyValue: buffer is not this client's");
  sv().setInfoKey(index, key, value ? value : "");
}

void infoRemoveKey(char* buffer, const char* key) {
  int p = playerOfBuffer(buffer);
  if (!p || !key) return;
  sv().playerSlot(p).info.erase(key);
  sv().rebuildBuffers(p);
}

const char* getPhysicsKeyValue(const edict_t* e, const char* key) {
  int p = playerOf(e);
  if (!p || !key) return "";
  auto& ph = sv().playerSlot(p).physics;
  auto it = ph.find(key);
  return it == ph.end() ? "" : it->second.c_str();
}

void setPhysicsKeyValue(const edict_t* e, const char* key, const char* value) {
  int p = playerOf(e);
  if (!p || !key) return;
  sv().playerSlot(p).physics[key] = value ? value : "";
  sv().rebuildBuffers(p);
}

const char* getPhysicsInfoString(const edict_t* e) {
  int p = playerOf(e);
  return p ? sv().playerSlot(p).physicsBuffer.c_str() : "";
}

int getPlayerUserId(edict_t* e) {
  int p = playerOf(e);
  return p && sv().connected(p) ? sv().playerSlot(p).userId : -1;
}

const char* getPlayerAuthId(edict_t* e) {
  int p = playerOf(e);
  if (!p || !sv().connected(p)) return "";
  auto& s = sv().playerSlot(p);
  if (s.bot) return "BOT";
  return im().keep("STEAM_0:0:" + std::to_string(1000 + s.userId));
}

// The engine no longer hands out WON identifiers: every player reports -1.
unsigned int getPlayerWONId(edict_t* e) { return playerOf(e) ? 0xFFFFFFFFu : 0; }

int isDedicated() { return sv().dedicated() ? 1 : 0; }
int currentPlayer() { return im().currentPlayer; }

void setView(const edict_t* client, const edict_t* view) {
  im().views[std::max(0, entIndex(client))] = std::max(0, entIndex(view));
}
void crosshairAngle(const edict_t*, float, float) {}
void setClientMaxspeed(const edict_t* e, float speed) {
  if (e) const_cast<edict_t*>(e)->v.maxspeed = speed;
}
void getPlayerStats(const edict_t*, int* ping, int* loss) {
  if (ping) *ping = 0;
  if (loss) *loss = 0;
}

float timeNow() { return sv().globals()->time; }

uint32_t nextRandom() {
  uint32_t& x = im().rng;  // xorshift32: the same sequence on every build
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return x;
}
int32 randomLong(int32 lo, int32 hi) {
  if (hi <= lo) return lo;
  uint32_t span = static_cast<uint32_t>(hi - lo) + 1;
  return span ? lo + static_cast<int32>(nextRandom() % span) : static_cast<int32>(nextRandom());
}
float randomFloat(float lo, float hi) {
  float u = static_cast<float>(nextRandom() >> 8) / 16777216.0f;
  return lo + (hi - lo) * u;
}

qboolean voiceGet(int, int) { return 1; }
qboolean voiceSet(int, int, qboolean) { return 1; }
int engCheckParm(const char*, char** next) {
  if (next) *next = nullptr;
  return 0;
}

}  // namespace

void installFileSlots(enginefuncs_t& t) {
  t.pfnLoadFileForMe = loadFile;
  t.pfnFreeFile = freeFile;
  t.pfnGetFileSize = fileSize;
  t.pfnCompareFileTime = compareFileTime;
  t.pfnGetGameDir = getGameDir;
  t.pfnIsMapValid = isMapValid;
  t.pfnGetInfoKeyBuffer = infoKeyBuffer;
  t.pfnInfoKeyValue = infoKeyValue;
  t.pfnSetKeyValue = setKeyValue;
  t.pfnSetClientKeyValue = setClientKeyValue;
  t.pfnInfo_RemoveKey = infoRemoveKey;
  t.pfnGetPhysicsKeyValue = getPhysicsKeyValue;
  t.pfnSetPhysicsKeyValue = setPhysicsKeyValue;
  t.pfnGetPhysicsInfoString = getPhysicsInfoString;
  t.pfnGetPlayerUserId = getPlayerUserId;
  t.pfnGetPlayerAuthId = getPlayerAuthId;
  t.pfnGetPlayerWONId = getPlayerWONId;
  t.pfnIsDedicatedServer = isDedicated;
  t.pfnGetCurrentPlayer = currentPlayer;
  t.pfnSetView = setView;
  t.pfnCrosshairAngle = crosshairAngle;
  t.pfnSetClientMaxspeed = setClientMaxspeed;
  t.pfnGetPlayerStats = getPlayerStats;
  t.pfnTime = timeNow;
  t.pfnRandomLong = randomLong;
  t.pfnRandomFloat = randomFloat;
  t.pfnVoice_GetClientListening = voiceGet;
  t.pfnVoice_SetClientListening = voiceSet;
  t.pfnEngCheckParm = engCheckParm;
}

}  // namespace host
