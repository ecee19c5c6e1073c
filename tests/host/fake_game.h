// The host's side of the fake game library: the control table found in the
// loaded library, with friendlier calls taking entity indexes.
#pragma once

#include <string>
#include <vector>

#include "fake_gamedll/fake_game_api.h"
#include "world.h"

namespace host {

class Server;

class FakeGame {
 public:
  FakeGame(Server& sv, const FakeGameApi* api) : sv_(sv), api_(api) {}
  const FakeGameApi* api() const { return api_; }

  // What reached the game library.
  std::vector<std::string> records() const;
  int calls(const std::string& name) const { return api_->callCount(name.c_str()); }
  bool reached(const std::string& prefix) const;  // a record starts with prefix
  void clearRecords() { api_->clearRecords(); }

  void logWorldEvent(const std::string& event) { api_->logWorldEvent(event.c_str()); }
  void logLine(const std::string& line) { api_->logLine(line.c_str()); }
  void curWeapon(int player, int active, int weaponId, int clip);
  void damage(int player, int armor, int damage, int bits, Vec3 origin);
  void screenFade(int player, int duration, int holdTime, int flags, int r, int g, int b, int a);
  void statusText(int player, int line, const std::string& text);
  void weaponList(const std::string& name, int ammo1, int max1, int ammo2, int max2, int slot,
                  int position, int weaponId, int flags, int player = 0);
  void sayText(int sender, const std::string& text, int to = 0);
  void textMsg(int player, int dest, const std::string& text);
  void deathMsg(int killer, int victim, bool headshot, const std::string& weapon);
  void resetHUD(int player);
  void setTeam(int player, int team);
  void spawnPlayer(int player);
  void damagePlayer(int player, float amount, Vec3 from);
  void killPlayer(int victim, int killer, const std::string& weapon, bool headshot = false);
  TraceResult traceLine(Vec3 start, Vec3 end, int noMonsters = 0, int skip = -1);
  int createEntity(const std::string& classname, Vec3 origin = {});

 private:
  edict_t* ed(int index) const;
  Server& sv_;
  const FakeGameApi* api_;
};

}  // namespace host
