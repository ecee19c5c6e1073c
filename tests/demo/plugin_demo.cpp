// A short scripted game with both plugins loaded under Metamod in the
// simulated server, told as it happens: a player hooks himself to a wall,
// makes a running jump and a long jump, and fires a rifle with tracers on.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "fake_game.h"
#include "host.h"
#include "pmove.h"

namespace {

struct Paths {
  std::string game = FAKE_GAMEDLL_PATH;
  std::string grapnel = GRAPNEL_MM_PATH;
  std::string rix = RIX_MM_PATH;
};

constexpr float kWallX = 1024;      // the east wall's inner face
constexpr float kHalfWidth = 16;    // a standing player's box reaches this far from his origin
constexpr float kFrame = 0.01f;

void Usage(FILE* out) {
  fprintf(out,
          "usage: plugin_demo [--game LIB] [--grapnel LIB] [--rix LIB]\n"
          "Loads grapnel_mm and rix_mm into the simulated server under Metamod and\n"
          "plays a short session: the hook pulls a player to a wall, a running jump\n"
          "and a long jump with rix_longjump 1, a rifle shot with rix_tracer 1.\n"
          "  --game LIB     the game library (default: the built fake game)\n"
          "  --grapnel LIB  the hook plugin (default: the built grapnel_mm)\n"
          "  --rix LIB      the tweaks plugin (default: the built rix_mm)\n");
}

// Returns 0 to go on, 1 for a bad command line, 2 after --help.
int ParseArgs(int argc, char** argv, Paths& paths) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 2;
    }
    std::string* target = a == "--game" ? &paths.game
                          : a == "--grapnel" ? &paths.grapnel
                          : a == "--rix" ? &paths.rix
                                         : nullptr;
    if (!target) {
      fprintf(stderr, "plugin_demo: unknown argument '%s'\n", a.c_str());
      Usage(stderr);
      return 1;
    }
    if (i + 1 >= argc) {
      fprintf(stderr, "plugin_demo: %s needs a library path\n", a.c_str());
      return 1;
    }
    *target = argv[++i];
  }
  return 0;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

float Horizontal(host::Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y); }
float Horizontal(const vec3_t& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// First line of a console text that holds words (not a rule of "===").
std::string FirstLine(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    size_t first = line.find_first_not_of(" =-");
    if (first != std::string::npos) return line.substr(line.find_first_not_of(' '));
    at = end + 1;
  }
  return "";
}

// A coordinate as a whole number, without a "-0".
long Whole(float f) { return std::lround(f); }

bool LoadPlugin(host::Server& sv, const std::string& path, PLUG_LOADTIME now) {
  host::PluginOptions opts;
  opts.now = now;
  host::Plugin& p = sv.loadPlugin(path, opts);
  if (!p.loaded || !p.info) {
    printf("Metamod could not load %s\n", path.c_str());
    return false;
  }
  printf("Metamod loaded %s: \"%s\" version %s\n", BaseName(path).c_str(), p.info->name,
         p.info->version);
  return true;
}

edict_t* HookOf(host::Server& sv, int player) {
  for (edict_t* e : sv.findByClass("GP_hook"))
    if (!(e->v.flags & FL_KILLME) && e->v.euser1 && sv.indexOf(e->v.euser1) == player) return e;
  return nullptr;
}

// The hook: fired at the east wall, flies, sticks, pulls the player across
// the room until he stands against the wall. Returns false when a step fails.
bool HookScene(host::Server& sv, int id) {
  printf("\n--- The grappling hook\n");
  sv.place(id, {0, 0, 36}, {0, 0, 0});
  entvars_t& v = sv.vars(id);
  v.v_angle = vec3_t(0, 0, 0);
  auto gap = [&] { return kWallX - (v.origin.x + kHalfWidth); };
  printf("Alice stands in the middle of the room, facing the east wall %.0f units away.\n", gap());
  printf("Alice: +hook\n");
  sv.clientCommand(id, "+hook");
  edict_t* hook = HookOf(sv, id);
  if (!hook) {
    printf("No hook came out.\n");
    return false;
  }
  bool rope = false;
  for (edict_t* b : sv.findByClass("beam")) rope = rope || b->v.aiment == hook;
  printf("The hook flies off at %.0f units/s%s.\n", Horizontal(hook->v.velocity),
         rope ? ", its rope drawn behind it" : " (no rope drawn!)");

  float t = 0;
  while (hook->v.movetype != MOVETYPE_NOCLIP && t < 3.0f) {
    sv.runFrame(kFrame);
    t += kFrame;
    hook = HookOf(sv, id);
    if (!hook) {
      printf("The hook was lost in flight.\n");
      return false;
    }
    if (std::lround(t / kFrame) % 20 == 0 && hook->v.movetype != MOVETYPE_NOCLIP)
      printf("  %.2f s: the hook is %.0f units from the wall\n", t, kWallX - hook->v.origin.x);
  }
  if (hook->v.movetype != MOVETYPE_NOCLIP) {
    printf("The hook never reached the wall.\n");
    return false;
  }
  printf("%.2f s: the hook attached to the wall at (%ld %ld %ld).\n", t, Whole(hook->v.origin.x),
         Whole(hook->v.origin.y), Whole(hook->v.origin.z));

  float attachedAt = t;
  float lastGap = gap();
  int still = 0;
  while (t < attachedAt + 10.0f) {
    sv.runFrame(kFrame);
    t += kFrame;
    float g = gap();
    if (std::lround((t - attachedAt) / kFrame) % 50 == 0)
      printf("  %.2f s: pulled at %.0f units/s, %.0f units from the wall\n", t,
             Horizontal(v.velocity), g);
    still = std::fabs(g - lastGap) < 0.01f ? still + 1 : 0;
    lastGap = g;
    if (g < 1.0f || still >= 5) break;
  }
  if (gap() >= 1.0f) {
    printf("Alice stopped %.0f units short of the wall.\n", gap());
    return false;
  }
  printf("%.2f s: Alice arrived at the wall (%.1f units left) and hangs there on the hook.\n", t,
         gap());
  printf("Alice: -hook\n");
  sv.clientCommand(id, "-hook");
  sv.runFrame(kFrame);
  printf("The hook lets go%s.\n", HookOf(sv, id) ? " (still out!)" : " and is gone");
  return true;
}

struct JumpResult {
  float takeoffForward = 0, takeoffUp = 0, distance = 0;
  bool landed = false;
};

// A run of one second toward +x from x = -900, then a jump (crouched when
// `crouch`), held forward until he lands.
JumpResult RunAndJump(host::PlayerMove& pm, bool crouch) {
  playermove_t& p = pm.pm();
  p.flags &= ~FL_DUCKING;
  p.bInDuck = 0;
  p.flDuckTime = 0;
  p.usehull = 0;
  p.view_ofs = vec3_t(0, 0, 28);
  p.oldbuttons = 0;
  p.punchangle = vec3_t(0, 0, 0);
  pm.setOrigin({-900, 0, 36});
  pm.setVelocity({0, 0, 0});
  pm.setViewAngles({0, 0, 0});
  pm.setButtons(IN_FORWARD);
  pm.setMoves(250);
  pm.move(100);
  if (crouch) {
    pm.setButtons(IN_FORWARD | IN_DUCK);
    pm.move(1);
  }
  host::Vec3 from = pm.origin();
  pm.setButtons(IN_FORWARD | IN_JUMP | (crouch ? IN_DUCK : 0));
  pm.move(1);
  JumpResult r;
  host::Vec3 vel = pm.velocity();
  r.takeoffForward = Horizontal(vel);
  r.takeoffUp = vel.z + 800 * kFrame;  // one frame of gravity already ran
  pm.setButtons(IN_FORWARD | (crouch ? IN_DUCK : 0));
  r.landed = pm.moveUntil([](const playermove_t& m) { return m.onground != -1; }, 300);
  host::Vec3 to = pm.origin();
  r.distance = Horizontal(host::Vec3{to.x - from.x, to.y - from.y, 0});
  pm.setButtons(0);
  pm.setMoves(0);
  pm.move(30);
  return r;
}

bool JumpScene(host::Server& sv, int id) {
  printf("\n--- Jumping with rix_mm\n");
  printf("server: rix_longjump 1\n");
  sv.serverCommand("rix_longjump 1");
  sv.game().spawnPlayer(id);
  printf("Alice respawns; the plugin hands her the long jump (slj %s).\n",
         sv.physicsKey(id, "slj").c_str());

  host::PlayerMove pm(sv, id);
  pm.setPhysinfo(sv.physicsInfo(id));
  pm.init();

  JumpResult run = RunAndJump(pm, false);
  printf("Running jump: take-off %.0f units/s forward, %.0f up; landed %.0f units further.\n",
         run.takeoffForward, run.takeoffUp, run.distance);
  JumpResult lj = RunAndJump(pm, true);
  printf("Long jump (crouch, then jump): take-off %.0f units/s forward, %.0f up; "
         "landed %.0f units further.\n",
         lj.takeoffForward, lj.takeoffUp, lj.distance);
  if (!run.landed || !lj.landed) {
    printf("Alice did not land.\n");
    return false;
  }
  printf("Running jump distance %.0f, long jump distance %.0f: the long jump goes %.1f times as far.\n",
         run.distance, lj.distance, run.distance > 0 ? lj.distance / run.distance : 0.0f);
  return true;
}

bool TracerScene(host::Server& sv, int id) {
  printf("\n--- Tracers\n");
  printf("server: rix_tracer 1\n");
  sv.serverCommand("rix_tracer 1");
  constexpr int kAk47 = 28;
  sv.place(id, {0, 0, 36}, {0, 90, 0});
  sv.vars(id).v_angle = vec3_t(0, 90, 0);
  sv.vars(id).health = 100;
  sv.game().weaponList("weapon_ak47", 2, 90, -1, -1, 0, 1, kAk47, 0, id);
  sv.game().curWeapon(id, 1, kAk47, 30);
  printf("Alice draws an AK-47 (30 rounds) and fires one shot, facing north.\n");
  size_t before = sv.tempEntities(TE_TRACER).size();
  sv.game().curWeapon(id, 1, kAk47, 29);
  auto tracers = sv.tempEntities(TE_TRACER);
  if (tracers.size() != before + 1) {
    printf("No tracer was sent.\n");
    return false;
  }
  const host::Message& m = tracers.back();
  printf("Tracer message (TE_TRACER) to the players near her: from (%ld %ld %ld) to (%ld %ld %ld).\n",
         Whole(m.floatAt(1)), Whole(m.floatAt(2)), Whole(m.floatAt(3)), Whole(m.floatAt(4)),
         Whole(m.floatAt(5)), Whole(m.floatAt(6)));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Paths paths;
  int parsed = ParseArgs(argc, argv, paths);
  if (parsed) return parsed == 2 ? 0 : 1;

  host::Server sv;
  if (!sv.loadGame(paths.game)) {
    printf("The game library %s does not load.\n", paths.game.c_str());
    return 1;
  }
  printf("Server started with the game library %s.\n", BaseName(paths.game).c_str());
  if (!LoadPlugin(sv, paths.grapnel, PT_STARTUP) || !LoadPlugin(sv, paths.rix, PT_STARTUP))
    return 1;
  sv.startMap();
  sv.world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  printf("Map %s: a room of 2048 x 2048 units, 512 high.\n",
         sv.str(sv.globals()->mapname).c_str());

  int id = sv.connect("Alice");
  if (!id) {
    printf("Alice could not connect: %s\n", sv.lastRejectReason().c_str());
    return 1;
  }
  printf("Alice connects and spawns.\n");
  for (const host::ClientPrint& p : sv.prints())
    if (p.entity == id && p.type != host::kStuffText && !FirstLine(p.text).empty()) {
      printf("  her console: %s\n", FirstLine(p.text).c_str());
      break;
    }
  entvars_t& v = sv.vars(id);
  v.maxspeed = 250;
  v.health = 100;
  v.deadflag = DEAD_NO;
  v.movetype = MOVETYPE_WALK;

  bool ok = HookScene(sv, id) && JumpScene(sv, id) && TracerScene(sv, id);
  printf("\n%s\n", ok ? "Session over." : "The session stopped early.");
  return ok ? 0 : 1;
}
