// The hook's rope as a beam entity, the beam colour by team, and the banner
// that greets connecting players.
#include <stdio.h>

#include "hook_internal.h"

namespace {

// Case-insensitive comparison of plain ASCII names.
bool SameNameNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a, cb = *b;
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

bool IsOneOf(const char* value, const char* const* names, int count) {
  for (int i = 0; i < count; ++i)
    if (strcmp(value, names[i]) == 0) return true;
  return false;
}

// Value of an info key, cut to 30 characters.
void InfoKey(edict_t* player, const char* key, char (&out)[31]) {
  out[0] = '\0';
  char* buffer = EngineTable.pfnGetInfoKeyBuffer(player);
  if (!buffer) return;
  const char* value = EngineTable.pfnInfoKeyValue(buffer, const_cast<char*>(key));
  if (!value) return;
  snprintf(out, sizeof(out), "%s", value);
}

edict_t* EntityOfIndex(int index) { return EngineTable.pfnPEntityOfEntIndex(index); }

// The banner, and the credit line kept scrambled in the library.
const char kBanner[] =
    "==========================================================\n"
    " Grapnel Mod 5: a grappling hook for every player\n"
    " Bind a key to the hook in your console:   bind f +hook\n"
    " Hold the key to fire and hang on, let go to release.\n"
    " If the server has set a hook password, log in first:\n"
    "   hook_login <password>\n"
    "==========================================================\n";

constexpr int kCreditSize = 63;
constexpr unsigned char kCreditKey = 0x5A;
struct Scrambled {
  unsigned char bytes[kCreditSize];
};
constexpr Scrambled Scramble(const char (&text)[kCreditSize + 1]) {
  Scrambled s{};
  for (int i = 0; i < kCreditSize; ++i)
    s.bytes[i] = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) ^ kCreditKey ^ (i * 7));
  return s;
}
constexpr Scrambled kCredit = Scramble("Grapnel Mod 5 - written for the NUV deathmatch pack. Have fun!\n");

void PrintCredit(edict_t* player) {
  char line[kCreditSize + 1];
  for (int i = 0; i < kCreditSize; ++i)
    line[i] = static_cast<char>(kCredit.bytes[i] ^ kCreditKey ^ static_cast<unsigned char>(i * 7));
  line[kCreditSize] = '\0';
  EngineTable.pfnClientPrintf(player, print_console, line);
}

struct BannerQueue {
  unsigned char pending[kHookMaxPlayers];
  char text[kHookMaxPlayers][kHookBannerSize];
  bool any;
};
BannerQueue Banners;

}  // namespace

edict_t* Beam_Create(const char* sprite, int width) {
  if (HookPool.beamClass == 0) Hook_AllocStrings();
  edict_t* beam = EngineTable.pfnCreateNamedEntity(HookPool.beamClass);
  if (!beam) return nullptr;
  beam->v.classname = HookPool.beamClass;
  beam->v.flags |= FL_CUSTOMENTITY;
  beam->v.rendercolor = vec3_t(255.0f, 255.0f, 255.0f);
  beam->v.renderamt = 255.0f;
  beam->v.body = 0;
  beam->v.frame = 0.0f;
  beam->v.animtime = 0.0f;
  bool ours = strcmp(sprite, Hook_String(HookPool.beamSprite)) == 0;
  beam->v.model = ours ? HookPool.beamSprite : EngineTable.pfnAllocString(sprite);
  beam->v.modelindex = EngineTable.pfnPrecacheModel(const_cast<char*>(sprite));
  beam->v.skin = 0;
  beam->v.sequence = 0;
  beam->v.rendermode = 0;
  beam->v.scale = static_cast<float>(width);
  return beam;
}

void Beam_PointEntInit(edict_t* beam, const vec3_t& startPoint, int endIndex) {
  beam->v.rendermode = (beam->v.rendermode & 0xF0) | BEAM_ENTPOINT;
  beam->v.origin = startPoint;
  beam->v.skin = endIndex & 0xFFF;
  beam->v.aiment = EntityOfIndex(endIndex);
  beam->v.sequence &= 0xFFF;
  Beam_Relink(beam);
}

void Beam_EntsInit(edict_t* beam, int startIndex, int endIndex) {
  beam->v.rendermode = (beam->v.rendermode & 0xF0) | BEAM_ENTS;
  beam->v.sequence = startIndex & 0xFFF;
  beam->v.owner = EntityOfIndex(startIndex);
  beam->v.skin = endIndex & 0xFFF;
  beam->v.aiment = EntityOfIndex(endIndex);
  Beam_Relink(beam);
}

void Beam_Relink(edict_t* beam) {
  int type = beam->v.rendermode & 0x0F;
  vec3_t start = beam->v.origin;
  if (type == BEAM_ENTS) {
    edict_t* s = EntityOfIndex(beam->v.sequence & 0xFFF);
    if (s && !s->free) start = s->v.origin;
  }
  vec3_t end = beam->v.angles;
  if (type == BEAM_ENTPOINT || type == BEAM_ENTS) {
    edict_t* e = EntityOfIndex(beam->v.skin & 0xFFF);
    if (e && !e->free) end = e->v.origin;
  }
  vec3_t lo(fminf(start.x, end.x), fminf(start.y, end.y), fminf(start.z, end.z));
  vec3_t hi(fmaxf(start.x, end.x), fmaxf(start.y, end.y), fmaxf(start.z, end.z));
  vec3_t origin = beam->v.origin;
  vec3_t mins = lo - origin, maxs = hi - origin;
  EngineTable.pfnSetSize(beam, mins, maxs);
  EngineTable.pfnSetOrigin(beam, origin);
}

int Hook_TeamColor(edict_t* player) {
  if (!player) return -1;
  char value[31];
  if (SameNameNoCase(ModDirName, "cstrike")) {
    static const char* const kCounterTerrorists[] = {"sas", "gsg9", "gign", "urban"};
    static const char* const kTerrorists[] = {"arctic", "leet", "arab", "guerilla", "terror"};
    InfoKey(player, "model", value);
    if (strcmp(value, "vip") == 0) return 4;
    if (IsOneOf(value, kCounterTerrorists, 4)) return 1;
    if (IsOneOf(value, kTerrorists, 5)) return 2;
    return 1;
  }
  if (SameNameNoCase(ModDirName, "firearms")) {
    InfoKey(player, "model", value);
    if (strcmp(value, "red1") == 0) return 2;
    if (strcmp(value, "blue1") == 0) return 1;
    return player->v.team;
  }
  if (SameNameNoCase(ModDirName, "tfc")) {
    static const char* const kBlue[] = {"150", "153", "148", "140"};
    static const char* const kRed[] = {"250", "255", "5"};
    static const char* const kGreen[] = {"100", "80"};
    InfoKey(player, "topcolor", value);
    if (IsOneOf(value, kBlue, 4)) return 1;
    if (IsOneOf(value, kRed, 3)) return 2;
    if (strcmp(value, "45") == 0) return 3;
    if (IsOneOf(value, kGreen, 2)) return 4;
    return player->v.team;
  }
  return player->v.team;
}

void Hook_PrintBanner(edict_t* player) {
  EngineTable.pfnClientPrintf(player, print_console, kBanner);
  PrintCredit(player);
}

void Hook_ResetBanner(int index) {
  if (index >= 0 && index < kHookMaxPlayers) Banners.pending[index] = 0;
}

void Hook_QueueBanner(edict_t* player) {
  if (!player) return;
  int index = EngineTable.pfnIndexOfEdict(player);
  if (index < 1 || index >= kHookMaxPlayers) return;
  snprintf(Banners.text[index], sizeof(Banners.text[index]), "\n%s", kBanner);
  Banners.pending[index] = 1;
  Banners.any = true;
}

void Hook_DeliverBanners() {
  if (!Banners.any) return;
  int maxClients = GameGlobals ? GameGlobals->maxClients : 0;
  if (maxClients >= kHookMaxPlayers) maxClients = kHookMaxPlayers - 1;
  for (int i = 1; i <= maxClients; ++i) {
    if (!Banners.pending[i]) continue;
    edict_t* e = EntityOfIndex(i);
    if (!Hook_IsValid(e)) continue;
    Banners.pending[i] = 0;
    EngineTable.pfnClientPrintf(e, print_console, Banners.text[i]);
    PrintCredit(e);
  }
  Banners.any = false;
}
