// start_server: starts a game folder in the simulated server as the engine
// and Metamod would, for install tests that follow the README: the mod's
// liblist.gam names the library the engine loads (Metamod, or grapnel_mm in
// place of the game library); Metamod loads the game library and the
// plugins of its plugins.ini. Then server.cfg runs, the map starts, a player
// joins and fires the hook, and what `meta list` would show is printed.
// As the engine does, the console shows the libraries' alert lines only in
// developer mode (-dev).
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"

namespace fs = std::filesystem;

namespace {

// The game libraries Metamod looks for, the first one present: today's
// Linux servers have cs.so, older ones cs_i386.so.
#ifdef _WIN32
const char kLibListKey[] = "gamedll";
const char kSystemWord[] = "win32";
const char* const kGameLibraries[] = {"dlls/mp.dll"};
const char kGameLibraryNames[] = "dlls/mp.dll";
#else
const char kLibListKey[] = "gamedll_linux";
const char kSystemWord[] = "linux";
const char* const kGameLibraries[] = {"dlls/cs.so", "dlls/cs_i386.so"};
const char kGameLibraryNames[] = "dlls/cs.so (else dlls/cs_i386.so)";
#endif

struct Args {
  std::string mod;
  std::string map;
  int frames = 100;
  bool developer = false;
};

void Usage(FILE* out) {
  fprintf(out,
          "usage: start_server -game MOD [-dev] [+map NAME] [--frames N]\n"
          "Starts the game folder in the current directory in the simulated server:\n"
          "MOD/liblist.gam's %s names the library the engine loads; a library named\n"
          "metamod* stands for Metamod, which loads MOD/%s and the '%s'\n"
          "lines of MOD/addons/metamod/plugins.ini; any other library is loaded as the\n"
          "game library (grapnel_mm standalone). Then MOD/server.cfg runs, the map\n"
          "starts, a player joins and presses +hook, N frames run (default 100), and\n"
          "the plugins Metamod runs are listed as `meta list` shows them.\n"
          "The console shows the libraries' alert lines only with -dev (developer 1\n"
          "from the start), as the engine does; their log lines are not shown.\n"
          "Exit status: 0 when the map ran, 1 when the server did not start, 2 for\n"
          "a usage error.\n",
          kLibListKey, kGameLibraryNames, kSystemWord);
}

// Returns 0 to go on, 1 after --help, 2 for a usage error.
int ParseArgs(int argc, char** argv, Args& args) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      Usage(stdout);
      return 1;
    }
    if (a == "-dev") {
      args.developer = true;
      continue;
    }
    std::string* value = a == "-game" ? &args.mod : a == "+map" ? &args.map : nullptr;
    if (a == "--frames") {
      if (i + 1 >= argc || sscanf(argv[i + 1], "%d", &args.frames) != 1 || args.frames < 1) {
        fprintf(stderr, "start_server: --frames needs a positive number\n");
        return 2;
      }
      ++i;
      continue;
    }
    if (!value) {
      fprintf(stderr, "start_server: unknown argument '%s'\n", a.c_str());
      Usage(stderr);
      return 2;
    }
    if (i + 1 >= argc) {
      fprintf(stderr, "start_server: %s needs a value\n", a.c_str());
      return 2;
    }
    *value = argv[++i];
  }
  if (args.mod.empty()) {
    fprintf(stderr, "start_server: give the mod folder with -game\n");
    return 2;
  }
  return 0;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

// The lines of a text file, CR LF or LF; false when it cannot be read.
bool ReadLines(const fs::path& file, std::vector<std::string>& lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) lines.push_back(Trim(line));
  return true;
}

// The value of a key in liblist.gam: `key "value"` or `key value`.
std::string LibListValue(const std::vector<std::string>& lines, const std::string& key) {
  for (const std::string& line : lines) {
    if (line.compare(0, 2, "//") == 0) continue;
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word != key) continue;
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    if (!rest.empty() && rest[0] == '"') {
      size_t end = rest.find('"', 1);
      return rest.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    return rest.substr(0, rest.find_first_of(" \t"));
  }
  return "";
}

std::string Slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

const char* LoadTimeName(PLUG_LOADTIME t) {
  static const char* const kNames[] = {"never", "startup", "changelevel", "anytime", "anypause"};
  return t >= PT_NEVER && t <= PT_ANYPAUSE ? kNames[t] : "?";
}

// Metamod's part: the game library of the mod, then every plugin line of
// this system in plugins.ini. Returns false when the game library fails.
bool LoadUnderMetamod(host::Server& sv, const std::string& mod) {
  std::string game = mod + "/" + kGameLibraries[0];
  for (const char* name : kGameLibraries) {
    if (fs::is_regular_file(fs::path(mod) / name)) {
      game = mod + "/" + name;
      break;
    }
  }
  printf("Metamod: game library %s\n", game.c_str());
  if (!sv.loadGame(game)) {
    printf("Metamod: the game library %s does not load\n", game.c_str());
    return false;
  }
  std::vector<std::string> lines;
  std::string ini = mod + "/addons/metamod/plugins.ini";
  if (!ReadLines(ini, lines)) {
    printf("Metamod: no plugin list %s\n", ini.c_str());
    return true;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';' || line.compare(0, 2, "//") == 0) continue;
    std::istringstream words(line);
    std::string system, path;
    words >> system >> path;
    if (system != kSystemWord) continue;
    std::string file = mod + "/" + Slashes(path);
    host::PluginOptions opts;
    opts.enforceLoadTime = true;
    fflush(stdout);
    host::Plugin& p = sv.loadPlugin(file, opts);
    if (!p.loaded) {
      printf("Metamod: plugins.ini line %zu: %s failed to load\n", i + 1, path.c_str());
      for (const std::string& e : sv.driverErrors()) printf("  %s\n", e.c_str());
    }
  }
  return true;
}

void MetaList(host::Server& sv) {
  printf("meta list:\n");
  int index = 0, running = 0;
  for (auto& p : sv.plugins()) {
    ++index;
    if (!p->loaded || !p->info) {
      printf(" [%d] %-16s %s\n", index, BaseName(p->path).c_str(), "failed");
      continue;
    }
    ++running;
    printf(" [%d] %-16s RUN  version %-6s %-22s load %s, unload %s\n", index, p->info->name,
           p->info->version, BaseName(p->path).c_str(), LoadTimeName(p->info->loadable),
           LoadTimeName(p->info->unloadable));
  }
  printf("%d plugins, %d running\n", index, running);
}

// Console prints to nobody in particular (unknown commands, cvar queries).
void FlushConsole(host::Server& sv, size_t& shown) {
  const auto& prints = sv.prints();
  for (; shown < prints.size(); ++shown)
    if (prints[shown].entity == 0) printf("%s", prints[shown].text.c_str());
}

// The player's hook, fired and held for a moment: whether grapnel_mm runs.
bool HookWorks(host::Server& sv, int id) {
  sv.place(id, {0, 0, 36});
  sv.vars(id).v_angle = vec3_t(0, 0, 0);
  sv.vars(id).health = 100;
  sv.vars(id).maxspeed = 250;
  sv.vars(id).movetype = MOVETYPE_WALK;
  sv.clientCommand(id, "+hook");
  bool fired = false;
  for (edict_t* e : sv.findByClass("GP_hook")) fired = fired || !(e->v.flags & FL_KILLME);
  sv.runFrame();
  sv.clientCommand(id, "-hook");
  return fired;
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  int parsed = ParseArgs(argc, argv, args);
  if (parsed) return parsed == 1 ? 0 : 2;

  std::vector<std::string> liblist;
  if (!ReadLines(fs::path(args.mod) / "liblist.gam", liblist)) {
    printf("start_server: no %s/liblist.gam in %s\n", args.mod.c_str(), fs::current_path().string().c_str());
    return 1;
  }
  std::string library = LibListValue(liblist, kLibListKey);
  if (library.empty()) {
    printf("start_server: liblist.gam has no %s line\n", kLibListKey);
    return 1;
  }
  std::string file = args.mod + "/" + Slashes(library);
  bool metamod = BaseName(file).compare(0, 7, "metamod") == 0;
  printf("liblist.gam: %s \"%s\" (%s)\n", kLibListKey, library.c_str(), metamod ? "Metamod" : "game library");
  if (!fs::is_regular_file(file)) {
    printf("start_server: %s not found\n", file.c_str());
    return 1;
  }

  host::Server::Options options;
  options.root = fs::current_path().string();
  options.modDir = args.mod;
  options.dedicated = true;
  if (!args.map.empty()) options.map = args.map;
  host::Server sv(options);
  // The console shows the alert lines of developer mode as they come, also
  // when a library ends the process while it loads.
  if (args.developer) sv.setCvar("developer", "1");
  sv.onAlert = host::printShownAlert;
  fflush(stdout);
  bool started = metamod ? LoadUnderMetamod(sv, args.mod) : sv.loadGame(file);
  if (!started) {
    for (const std::string& e : sv.driverErrors()) printf("start_server: %s\n", e.c_str());
    printf("start_server: the server did not start\n");
    return 1;
  }

  if (args.map.empty()) {
    printf("start_server: no map started (give +map NAME); no player can join\n");
    return 1;
  }
  sv.startMap(args.map);
  sv.world().addRoom({-1024, -1024, 0}, {1024, 1024, 512});
  printf("map %s started\n", args.map.c_str());
  // The server runs server.cfg as the map starts, after the game and the
  // plugins have registered their console variables.
  size_t shown = 0;
  std::vector<std::string> config;
  if (ReadLines(fs::path(args.mod) / "server.cfg", config)) {
    printf("exec server.cfg\n");
    for (const std::string& line : config)
      if (!line.empty() && line.compare(0, 2, "//") != 0) sv.serverCommand(line);
    FlushConsole(sv, shown);
  }
  int id = sv.connect("Alice");
  if (!id) {
    printf("start_server: the player could not join: %s\n", sv.lastRejectReason().c_str());
    return 1;
  }
  printf("+hook: %s\n", HookWorks(sv, id) ? "the hook flies" : "nothing happens");
  for (int i = 0; i < args.frames; ++i) sv.runFrame();
  FlushConsole(sv, shown);
  printf("%d frames run\n", args.frames);
  if (metamod)
    MetaList(sv);
  else
    printf("meta list: Unknown command (no Metamod)\n");
  return 0;
}
