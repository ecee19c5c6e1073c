#include "tweaks.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "rix.h"

void SpawnSetup(const edict_t* player) {
  PlayerTweakState* rec = PlayerRecord(player);
  if (!rec) return;
  engine.pfnSetPhysicsKeyValue(player, "slj", Setting(settings.longjump) == 1.0f ? "1" : "0");
  engine.pfnSetPhysicsKeyValue(player, "bj", Setting(settings.bunnyjump) == 1.0f ? "1" : "0");
  char ja[64];
  snprintf(ja, sizeof ja, "%f", (double)Setting(settings.jumpability));
  engine.pfnSetPhysicsKeyValue(player, "ja", ja);
  rec->smokeHealthTaken = 0;
  edict_t* e = const_cast<edict_t*>(player);
  e->v.health = Setting(settings.starthealth);
  e->v.max_health = Setting(settings.starthealth);
}

void SayTextToAll(edict_t* sender, const char* text) {
  if (!IsValidClient(sender)) return;
  // An unregistered message would go out as type 0, which clients reject.
  if (messageWatch.ids.SayText == 0) return;
  engine.pfnMessageBegin(MSG_ALL, messageWatch.ids.SayText, nullptr, nullptr);
  engine.pfnWriteByte(EntIndex(sender));
  engine.pfnWriteString(text);
  engine.pfnMessageEnd();
}

void ClientConnected(edict_t* player, const char* name, const char* address) {
  PlayerTweakState* rec = PlayerRecord(player);
  if (!rec) return;
  if (address && strcmp(address, "loopback") == 0) hostPlayer = player;
  memset(rec, 0, sizeof *rec);
  snprintf(rec->address, sizeof rec->address, "%s", address ? address : "");
  if (Setting(settings.showaddress) > 0) {
    char text[256];
    snprintf(text, sizeof text, "%s(%d@%s) is trying to connect.\n", name ? name : "",
             (int)engine.pfnGetPlayerWONId(player), rec->address);
    SayTextToAll(player, text);
  }
}

void ClientDisconnected(edict_t* player) {
  PlayerTweakState* rec = PlayerRecord(player);
  if (rec) memset(rec, 0, sizeof *rec);
}

void NoHeadshot(TraceResult* trace) {
  if (trace && trace->iHitgroup == 1 && Setting(settings.noheadshot) != 0) trace->iHitgroup = 0;
}

// ---- watched messages -----------------------------------------------------

// The receiving player of the message being watched, or null.
static edict_t* receiverOf(const MessageArg* arg) {
  return PlayerRecord(arg->edict) ? arg->edict : nullptr;
}

static int argInt(const MessageArg* arg) {
  return arg->kind == ARG_FLOAT ? TruncInt(arg->f) : arg->i;
}

static float argFloat(const MessageArg* arg) {
  return arg->kind == ARG_FLOAT ? arg->f : (float)arg->i;
}

static struct {
  edict_t* player;
  int weaponId;
  int clip;
} curWeapon;

static void drawTracer(edict_t* player, int mode) {
  vec3_t angles = player->v.v_angle;
  if (angles.y > 180) angles.y -= 360;
  if (angles.x > 180) angles.x -= 360;
  engine.pfnMakeVectors(angles);
  vec3_t start = player->v.origin + player->v.view_ofs;
  vec3_t end = start + gpGlobals->v_forward * 8192.0f;
  TraceResult tr = {};
  engine.pfnTraceLine(start, end, 0, player, &tr);
  end = tr.vecEndPos;
  engine.pfnMessageBegin(mode == 1 ? MSG_PAS : MSG_SPEC, SVC_TEMPENTITY, start, nullptr);
  engine.pfnWriteByte(TE_TRACER);
  engine.pfnWriteCoord(start.x);
  engine.pfnWriteCoord(start.y);
  engine.pfnWriteCoord(start.z);
  engine.pfnWriteCoord(end.x);
  engine.pfnWriteCoord(end.y);
  engine.pfnWriteCoord(end.z);
  engine.pfnMessageEnd();
}

bool Msg_CurWeapon(int index, MessageArg* arg) {
  if (index == 0) {
    curWeapon.player = receiverOf(arg);
    curWeapon.weaponId = 0;
    curWeapon.clip = 0;
  } else if (index == 2) {
    curWeapon.weaponId = argInt(arg);
  } else if (index == 3) {
    curWeapon.clip = argInt(arg);
  } else if (index == -1 && curWeapon.player) {
    edict_t* player = curWeapon.player;
    PlayerTweakState* rec = PlayerRecord(player);
    int id = curWeapon.weaponId;
    int mode = TruncInt(Setting(settings.tracer));
    if (mode > 0 && IsLivingPlayer(player) && rec->lastWeaponId == id && id >= 0 && id < 32 &&
        (weaponSlot[id] == 0 || weaponSlot[id] == 1) && curWeapon.clip < rec->lastClip &&
        (mode == 1 || mode == 2))
      drawTracer(player, mode);
    rec->lastWeaponId = id;
    rec->lastClip = curWeapon.clip;
    curWeapon.player = nullptr;
  }
  return false;
}

static struct {
  edict_t* player;
  vec3_t origin;
} damage;

bool Msg_Damage(int index, MessageArg* arg) {
  if (index == 0) {
    damage.player = receiverOf(arg);
    damage.origin = vec3_t(0, 0, 0);
  } else if (index >= 4 && index <= 6) {
    damage.origin[index - 4] = argFloat(arg);
  } else if (index == -1 && damage.player) {
    entvars_t& v = damage.player->v;
    vec3_t dir = v.origin - damage.origin;
    dir = dir.isZero() ? vec3_t(0, 0, 1) : dir.normalized();
    v.velocity += dir * (v.dmg_take * Setting(settings.damageimpact));
    damage.player = nullptr;
  }
  return false;
}

static edict_t* fadeReceiver;

bool Msg_ScreenFade(int index, MessageArg* arg) {
  if (index == 0) {
    fadeReceiver = receiverOf(arg);
  } else if (index == 2 && fadeReceiver && arg->kind == ARG_INT) {
    // The hold time is an unsigned 16-bit value on the wire: keep the
    // stretched time inside it instead of letting it wrap around.
    double hold = trunc((double)arg->i * (double)Setting(settings.flashtime));
    if (!(hold >= 0)) hold = 0;
    if (hold > 65535) hold = 65535;
    arg->i = (int)hold;
    return true;
  } else if (index == -1) {
    fadeReceiver = nullptr;
  }
  return false;
}

static edict_t* statusReceiver;

bool Msg_StatusText(int index, MessageArg* arg) {
  if (index == 0) {
    statusReceiver = receiverOf(arg);
  } else if (index == 2 && statusReceiver && arg->kind == ARG_STRING) {
    if (IsLivingPlayer(statusReceiver) && Setting(settings.statustext) > 0) {
      arg->s[0] = '\0';
      return true;
    }
  } else if (index == -1) {
    statusReceiver = nullptr;
  }
  return false;
}

static int listSlot;

bool Msg_WeaponList(int index, MessageArg* arg) {
  if (index == 0) {
    listSlot = 0;
  } else if (index == 6) {
    listSlot = argInt(arg);
  } else if (index == 8) {
    int id = argInt(arg);
    if (id >= 0 && id < 32) weaponSlot[id] = listSlot;
  }
  return false;
}

// ---- smoke ----------------------------------------------------------------

static bool inSmoke(edict_t* player, float radius) {
  const vec3_t origin = player->v.origin;
  edict_t* e = nullptr;
  while ((e = engine.pfnFindEntityInSphere(e, origin, radius)) != nullptr) {
    if (EntIndex(e) == 0) break;  // the search has reached the world
    const entvars_t& v = e->v;
    if (strcmp(Str(v.classname), "grenade") != 0) continue;
    if (strcmp(Str(v.model), "models/w_smokegrenade.mdl") != 0) continue;
    if (v.velocity.length() != 0.0f) continue;
    if ((v.origin - origin).length() <= radius) return true;
  }
  return false;
}

static int atMostFive(float amount) {
  float n = truncf(amount);
  return n > 5 ? 5 : (int)n;
}

void SmokeCheck(edict_t* player) {
  PlayerTweakState* rec = PlayerRecord(player);
  if (!rec) return;
  float now = gpGlobals->time;
  if (rec->nextSmokeCheck > now) return;
  if (!IsLivingPlayer(player)) {
    rec->smokeHealthTaken = 0;
  } else {
    float radius = Setting(settings.smokeradius);
    if (radius > 0) {
      entvars_t& v = player->v;
      if (inSmoke(player, radius)) {
        if (v.health > 20) {
          int n = atMostFive(v.health - 20);
          v.health -= n;
          rec->smokeHealthTaken += n;
        }
        if (Setting(settings.smokegasp) > 0) {
          int k = engine.pfnRandomLong(0, 1);
          int pitch = engine.pfnRandomLong(100, 110);
          float attenuation = engine.pfnRandomFloat(1.0f, 1.5f);
          float volume = engine.pfnRandomFloat(0.3f, 0.8f);
          engine.pfnEmitSound(player, CHAN_VOICE, k == 0 ? "player/gasp1.wav" : "player/gasp2.wav",
                              volume, attenuation, 0, pitch);
        }
      } else if (rec->smokeHealthTaken > 0) {
        int n = atMostFive(rec->smokeHealthTaken);
        rec->smokeHealthTaken -= n;
        v.health += n;
      }
    }
  }
  rec->nextSmokeCheck = now + 1.0f;
}
