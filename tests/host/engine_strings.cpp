// Engine slots: the string pool, console variables, server commands and the
// words of the command being run.
#include <cstdlib>
#include <cstring>

#include "engine_impl.h"

namespace host {

namespace {

// string_t values are offsets from globalvars_t::pStringBase. The pool is
// one block, so offsets fit an int in the 64-bit build as well.
int allocString(const char* s) {
  if (!s) return 0;
  Server::Impl& m = im();
  size_t n = strlen(s) + 1;
  if (m.poolUsed + n > m.pool.size()) {
    sv().driverError("pfnAllocString: string pool full");
    return 0;
  }
  memcpy(m.pool.data() + m.poolUsed, s, n);
  int off = static_cast<int>(m.poolUsed);
  m.poolUsed += n;
  return off;
}

// Like the engine, any offset from the base is accepted, so that a string
// the game placed elsewhere (base + difference) still reads back.
const char* szFromIndex(int i) { return sv().globals()->pStringBase + i; }

CvarEntry* findCvar(const char* name) {
  if (!name) return nullptr;
  auto& c = im().cvars;
  auto it = c.find(name);
  return it == c.end() ? nullptr : &it->second;
}

void assign(CvarEntry& e, const char* value) {
  e.value = std::make_unique<std::string>(value ? value : "");
  e.record->string = e.value->c_str();
  e.record->value = static_cast<float>(atof(e.value->c_str()));
}

// A library's record takes the place of a host-made one of the same name
// (set by the test before the library registered it), keeping that value.
void cvarRegister(cvar_t* c) {
  if (!c || !c->name) return;
  Server::Impl& m = im();
  auto it = m.cvars.find(c->name);
  if (it != m.cvars.end()) {
    CvarEntry& e = it->second;
    if (!e.own) {
      sv().recordAlert(at_console, format("Can't register variable %s, already defined\n", c->name));
      return;
    }
    std::string preset = *e.value;
    m.retiredCvars.push_back(std::move(e));
    e = CvarEntry{};
    e.record = c;
    assign(e, preset.c_str());
    m.cvarOrder.push_back(c->name);
    return;
  }
  CvarEntry& e = m.cvars[c->name];
  e.record = c;
  assign(e, c->string);
  m.cvarOrder.push_back(c->name);
}

float cvarGetFloat(const char* name) {
  CvarEntry* e = findCvar(name);
  return e ? e->record->value : 0.0f;
}
const char* cvarGetString(const char* name) {
  CvarEntry* e = findCvar(name);
  return e ? e->record->string : "";
}
cvar_t* cvarGetPointer(const char* name) {
  CvarEntry* e = findCvar(name);
  return e ? e->record : nullptr;
}

void cvarSetString(const char* name, const char* value) {
  if (!name) return;
  CvarEntry* e = findCvar(name);
  if (!e) {
    CvarEntry& n = im().cvars[name];
    n.own = std::make_unique<cvar_t>();
    n.name = std::make_unique<std::string>(name);
    n.own->name = n.name->c_str();
    n.record = n.own.get();
    e = &n;
  }
  assign(*e, value);
}

void cvarSetFloat(const char* name, float value) {
  char buf[64];
  snprintf(buf, sizeof buf, "%g", value);
  cvarSetString(name, buf);
}

void cvarDirectSet(cvar_t* c, char* value) {
  if (!c || !c->name) return;
  CvarEntry* e = findCvar(c->name);
  if (e && e->record == c) {
    assign(*e, value);
  } else {
    sv().driverError(std::string("pfnCvar_DirectSet: unregistered record ") + c->name);
  }
}

void serverCommand(char* s) {
  if (!s) return;
  sv().recordServerCommand(s);
  im().pendingCommands.push_back(s);
}

void serverExecute() {
  auto pending = std::move(im().pendingCommands);
  im().pendingCommands.clear();
  for (auto& text : pending) {
    std::string line;
    for (char c : text) {
      if (c == '\n' || c == ';') {
        runConsoleLine(line);
        line.clear();
      } else {
        line += c;
      }
    }
    runConsoleLine(line);
  }
}

void addServerCommand(char* name, void (*fn)()) {
  if (!name || !fn) return;
  auto& cmds = im().serverCmds;
  if (cmds.count(name)) {
    sv().recordAlert(at_console, format("Command %s already defined\n", name));
    return;
  }
  cmds[name] = fn;
}

const char* cmdArgs() { return im().args.c_str(); }
const char* cmdArgv(int i) {
  auto& a = im().argv;
  return i >= 0 && i < static_cast<int>(a.size()) ? a[static_cast<size_t>(i)].c_str() : "";
}
int cmdArgc() { return static_cast<int>(im().argv.size()); }

}  // namespace

void tokenize(const std::string& line, std::vector<std::string>& argv, std::string& args) {
  argv.clear();
  args.clear();
  size_t i = 0, n = line.size();
  while (i < n) {
    while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\n' || line[i] == '\r')) ++i;
    if (i >= n) break;
    if (argv.size() == 1) {
      args = line.substr(i);
      while (!args.empty() && (args.back() == '\n' || args.back() == '\r' || args.back() == ' '))
        args.pop_back();
    }
    std::string word;
    if (line[i] == '"') {
      ++i;
      while (i < n && line[i] != '"') word += line[i++];
      if (i < n) ++i;
    } else {
      while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\n' && line[i] != '\r')
        word += line[i++];
    }
    argv.push_back(word);
  }
}

bool runConsoleLine(const std::string& line) {
  Server::Impl& m = im();
  std::vector<std::string> argv;
  std::string args;
  tokenize(line, argv, args);
  if (argv.empty()) return false;
  auto cmd = m.serverCmds.find(argv[0]);
  if (cmd != m.serverCmds.end()) {
    auto savedArgv = m.argv;
    auto savedArgs = m.args;
    m.argv = argv;
    m.args = args;
    cmd->second();
    m.argv = savedArgv;
    m.args = savedArgs;
    return true;
  }
  if (findCvar(argv[0].c_str())) {
    if (argv.size() > 1) cvarSetString(argv[0].c_str(), argv[1].c_str());
    else sv().recordPrint(0, print_console, format("\"%s\" is \"%s\"\n", argv[0].c_str(),
                                                   cvarGetString(argv[0].c_str())));
    return true;
  }
  sv().recordPrint(0, print_console, "Unknown command: " + argv[0] + "\n");
  return false;
}

void installStringSlots(enginefuncs_t& t) {
  t.pfnAllocString = allocString;
  t.pfnSzFromIndex = szFromIndex;
  t.pfnCVarRegister = cvarRegister;
  t.pfnCvar_RegisterVariable = cvarRegister;
  t.pfnCVarGetFloat = cvarGetFloat;
  t.pfnCVarGetString = cvarGetString;
  t.pfnCVarGetPointer = cvarGetPointer;
  t.pfnCVarSetFloat = cvarSetFloat;
  t.pfnCVarSetString = cvarSetString;
  t.pfnCvar_DirectSet = cvarDirectSet;
  t.pfnServerCommand = serverCommand;
  t.pfnServerExecute = serverExecute;
  t.pfnAddServerCommand = addServerCommand;
  t.pfnCmd_Args = cmdArgs;
  t.pfnCmd_Argv = cmdArgv;
  t.pfnCmd_Argc = cmdArgc;
}

}  // namespace host
