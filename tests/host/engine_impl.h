// State behind the engine slots (private to the host library). The slot
// implementations are split by area over engine_*.cpp; each file has an
// install function that fills its slots of the implementation table.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host.h"

namespace host {

struct CvarEntry {
  cvar_t* record = nullptr;            // the registered record (or own)
  std::unique_ptr<cvar_t> own;         // set before anybody registered it
  std::unique_ptr<std::string> value;  // backing store of record->string
  std::unique_ptr<std::string> name;   // backing store of an own record's name
};

struct Server::Impl {
  std::vector<edict_t> edicts;         // maxEntities records, never moved
  int highWater = 1;                   // one past the highest index used
  // String pool: one block, so that string_t offsets fit an int.
  std::vector<char> pool;
  size_t poolUsed = 1;                 // offset 0 is the empty string
  std::map<std::string, CvarEntry> cvars;
  // Host-made records that a library's record took the place of. They stay
  // readable, as an engine never frees a variable record, but no longer
  // change: a library that kept such a pointer reads the old value.
  std::vector<CvarEntry> retiredCvars;
  std::vector<std::string> userMsgs;   // id = kFirstUserMsg + position
  std::vector<int> userMsgSizes;
  bool inMessage = false;
  Message current;
  std::vector<std::string> models{""};   // index 0 unused
  std::vector<std::string> soundsPre{""};
  std::vector<std::string> generic{""};
  std::vector<std::string> events{""};
  std::vector<std::string> decals{""};
  std::vector<std::string> argv;         // words of the command being run
  std::string args;                      // pfnCmd_Args
  std::map<std::string, void (*)()> serverCmds;
  std::vector<std::string> pendingCommands;  // pfnServerCommand, run at execute
  uint32_t rng = 12345;
  std::set<void*> files;                 // blocks of pfnLoadFileForMe
  int currentPlayer = -1;
  std::map<int, int> views;              // pfnSetView: player -> view entity
  std::string serverInfo = "\\hostname\\nuvdm";
  std::vector<std::string> infoReturns;  // rotating storage for returned text
  int nextUserId = 1;
  std::vector<std::string> cvarOrder;      // names in registration order
  std::deque<cvar_t> metaCvars;            // the Metamod driver's copies
  std::deque<std::string> metaCvarNames;   // their names' backing store

  static constexpr int kFirstUserMsg = 64;

  const char* keep(std::string s);  // stable copy for a returned char*
};

// Helpers shared by the slot files.
Server& sv();                          // the current server
Server::Impl& im();
int entIndex(const edict_t* e);        // -1 for null or foreign pointers
edict_t* entAt(int index);             // null when out of range
std::string vformat(const char* fmt, va_list ap);
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void setAbsBox(edict_t* e);            // absmin/absmax from origin, mins, maxs
bool isPlayerIndex(int index);

// Slot installers, one per area.
void installEntitySlots(enginefuncs_t& t);
void installStringSlots(enginefuncs_t& t);   // strings, cvars, commands
void installMessageSlots(enginefuncs_t& t);  // messages, prints, sounds
void installTraceSlots(enginefuncs_t& t);    // traces, contents, vector maths
void installFileSlots(enginefuncs_t& t);     // files, info keys, players, misc

// Implementations of the variadic slots, taking the formatted text.
void engineClientCommandText(edict_t* e, const std::string& text);
void engineAlertText(int type, const std::string& text);

// pfnCVarRegister of the engine table the Metamod driver hands plugins.
void metaCvarRegister(cvar_t* c);

// Runs a console line: registered command, cvar assignment, or recorded.
bool runConsoleLine(const std::string& line);
// Splits a command line into words the engine's way (quotes group words).
void tokenize(const std::string& line, std::vector<std::string>& argv, std::string& args);

}  // namespace host
