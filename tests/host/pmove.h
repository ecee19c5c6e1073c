// A playermove_t for movement tests: its callbacks trace against the
// simulated server's world (solids, water and slime volumes, other
// players' boxes), know ladders as move entities, load files from the game
// folder, and record every sound and console line the movement produces.
//
//   host::Server sv;  ...load the game and the plugin...
//   host::PlayerMove pmv(sv);
//   sv.world().addRoom({-512, -512, 0}, {512, 512, 256});
//   pmv.init();                      // pfnPM_Init through the Metamod driver
//   pmv.setOrigin({0, 0, 36});
//   pmv.setMoves(250, 0, 0);
//   pmv.move(50);                    // pfnPM_Move, 50 commands
//   pmv.velocity(); pmv.sounds();
//
// One PlayerMove exists at a time (the callbacks are plain C functions).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hl/hl.h"
#include "world.h"

namespace host {

class Server;

// One PM_PlaySound call.
struct PmSound {
  int channel = 0;
  std::string sample;
  float volume = 0, attenuation = 0;
  int flags = 0, pitch = 0;
  int move = 0;  // number of the move that played it (1 = first)
};

class PlayerMove {
 public:
  // player: entity index of the moving player (1..32); his own box in the
  // world never blocks him.
  explicit PlayerMove(Server& sv, int player = 1);
  ~PlayerMove();
  PlayerMove(const PlayerMove&) = delete;
  PlayerMove& operator=(const PlayerMove&) = delete;

  static PlayerMove* current();

  playermove_t& pm() { return *pm_; }
  movevars_t& movevars() { return movevars_; }
  Server& server() { return sv_; }

  // --- the player ---------------------------------------------------------
  void setOrigin(Vec3 o);
  void setVelocity(Vec3 v);
  // The command: copied into the record before every move, as each real
  // command arrives fresh (the movement scales the moves it is given).
  // View angles (pitch, yaw, roll) also set the record's angles.
  void setViewAngles(Vec3 a);
  void setButtons(int buttons);  // cmd.buttons (IN_*)
  void setMoves(float forward, float side = 0, float up = 0);
  void setMsec(int msec);
  usercmd_t& command() { return cmd_; }
  void setPhysicsKey(const std::string& key, const std::string& value);
  void setPhysinfo(const std::string& infoBuffer);  // "\\key\\value..."
  Vec3 origin() const;
  Vec3 velocity() const;
  bool onGround() const { return pm_->onground != -1; }

  // --- the world ----------------------------------------------------------
  // A ladder: a brush move entity with ladder contents over the box.
  int addLadder(Vec3 mins, Vec3 maxs);
  // Texture name of a world box's surfaces (what PM_TraceTexture reports).
  void setTexture(int boxId, const std::string& name);
  // Texture of any box without its own name ("" = none).
  void setDefaultTexture(const std::string& name) { defaultTexture_ = name; }
  // Another player standing at origin (standing hull), entity index entity.
  void addPlayer(int entity, Vec3 origin);

  // --- running ------------------------------------------------------------
  // How a move reaches the movement code. The default calls pfnPM_Move of
  // the game library through the server's Metamod driver (plugins first).
  std::function<void(playermove_t*, int server)> mover;
  std::function<void(playermove_t*)> initialiser;
  int serverSide = 1;  // the server argument of each move

  void init();
  // Runs n commands of cmd.msec each; each advances the system clock.
  void move(int n = 1);
  // Moves until pred holds (returns true) or maxMoves ran (returns false).
  bool moveUntil(const std::function<bool(const playermove_t&)>& pred, int maxMoves);
  int moves() const { return moves_; }

  // --- records ------------------------------------------------------------
  const std::vector<PmSound>& sounds() const { return sounds_; }
  std::vector<PmSound> soundsMatching(const std::string& part) const;
  const std::vector<std::string>& consoleLines() const { return console_; }
  const std::vector<std::string>& debugLines() const { return debug_; }
  const std::vector<int>& stuckTouches() const { return stuckTouches_; }
  int traceCount() const { return traces_; }
  void clearRecords();

  double sysTime = 100.0;  // Sys_FloatTime
  // Values RandomLong hands out first (each clamped to the asked range);
  // afterwards it is a seeded generator.
  std::vector<long> forcedRandom;

  // --- callbacks' helpers (used by the C callbacks) -------------------------
  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  void rebuildPhysents();
  bool isOtherPlayerEntity(int entity) const;

  Server& sv_;
  int player_;
  std::unique_ptr<playermove_t> pm_;
  usercmd_t cmd_{};
  movevars_t movevars_{};
  std::unique_ptr<Impl> impl_;
  std::string defaultTexture_;
  int moves_ = 0;
  int traces_ = 0;
  std::vector<PmSound> sounds_;
  std::vector<std::string> console_, debug_;
  std::vector<int> stuckTouches_;

  friend struct PmCallbacks;
};

}  // namespace host
