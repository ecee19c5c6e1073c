#include "fake_game.h"

#include "host.h"

namespace host {

edict_t* FakeGame::ed(int index) const { return index > 0 ? sv_.edict(index) : nullptr; }

std::vector<std::string> FakeGame::records() const {
  std::vector<std::string> out;
  for (int i = 0; i < api_->recordCount(); ++i) out.push_back(api_->record(i));
  return out;
}

bool FakeGame::reached(const std::string& prefix) const {
  for (int i = 0; i < api_->recordCount(); ++i)
    if (std::string(api_->record(i)).rfind(prefix, 0) == 0) return true;
  return false;
}

void FakeGame::curWeapon(int p, int active, int id, int clip) {
  api_->sendCurWeapon(ed(p), active, id, clip);
}
void FakeGame::damage(int p, int armor, int dmg, int bits, Vec3 o) {
  float f[3] = {o.x, o.y, o.z};
  api_->sendDamage(ed(p), armor, dmg, bits, f);
}
void FakeGame::screenFade(int p, int duration, int hold, int flags, int r, int g, int b, int a) {
  api_->sendScreenFade(ed(p), duration, hold, flags, r, g, b, a);
}
void FakeGame::statusText(int p, int line, const std::string& text) {
  api_->sendStatusText(ed(p), line, text.c_str());
}
void FakeGame::weaponList(const std::string& name, int a1, int m1, int a2, int m2, int slot,
                          int pos, int id, int flags, int p) {
  api_->sendWeaponList(ed(p), name.c_str(), a1, m1, a2, m2, slot, pos, id, flags);
}
void FakeGame::sayText(int sender, const std::string& text, int to) {
  api_->sendSayText(ed(to), sender, text.c_str());
}
void FakeGame::textMsg(int p, int dest, const std::string& text) {
  api_->sendTextMsg(ed(p), dest, text.c_str());
}
void FakeGame::deathMsg(int killer, int victim, bool hs, const std::string& weapon) {
  api_->sendDeathMsg(killer, victim, hs ? 1 : 0, weapon.c_str());
}
void FakeGame::resetHUD(int p) { api_->sendResetHUD(ed(p)); }
void FakeGame::setTeam(int p, int team) { api_->setTeam(ed(p), team); }
void FakeGame::spawnPlayer(int p) { api_->spawnPlayer(ed(p)); }
void FakeGame::damagePlayer(int p, float amount, Vec3 from) {
  float f[3] = {from.x, from.y, from.z};
  api_->damagePlayer(ed(p), amount, f);
}
void FakeGame::killPlayer(int victim, int killer, const std::string& weapon, bool hs) {
  api_->killPlayer(ed(victim), killer >= 0 ? sv_.edict(killer) : nullptr, weapon.c_str(), hs ? 1 : 0);
}
TraceResult FakeGame::traceLine(Vec3 start, Vec3 end, int noMonsters, int skip) {
  TraceResult tr{};
  float a[3] = {start.x, start.y, start.z}, b[3] = {end.x, end.y, end.z};
  api_->traceLine(a, b, noMonsters, skip >= 0 ? sv_.edict(skip) : nullptr, &tr);
  return tr;
}
int FakeGame::createEntity(const std::string& classname, Vec3 origin) {
  float o[3] = {origin.x, origin.y, origin.z};
  edict_t* e = api_->createEntity(classname.c_str(), o);
  return e ? sv_.indexOf(e) : 0;
}

}  // namespace host
