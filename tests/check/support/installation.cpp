#include "support/installation.h"

#include <algorithm>

namespace fs = std::filesystem;
using nuvcheck::Report;
using nuvcheck::Result;
using nuvcheck::Status;

namespace checktest {

const HostPaths kPaths = kLinuxHost
    ? HostPaths{"linux", "gamedll_linux", "addons/metamod/dlls/metamod_i386.so",
                "addons/grapnel/dlls/grapnel_mm_i386.so", "addons/rix/dlls/rix_mm_i386.so", "cs_i386.so",
                "addons/amxmodx/dlls/amxmodx_mm_i386.so"}
    : HostPaths{"win32", "gamedll", "addons\\metamod\\dlls\\metamod.dll", "addons\\grapnel\\dlls\\grapnel_mm.dll",
                "addons\\rix\\dlls\\rix_mm.dll", "mp.dll", "addons\\amxmodx\\dlls\\amxmodx_mm.dll"};

Installation::Installation() {
    nuvtest::writeFile(game() / (kLinuxHost ? "hlds_run" : "hlds.exe"), "server\n");
    fs::create_directories(mod());
    copy(NUVDM_CHECK_METAMOD, kPaths.metamod);
    copy(NUVDM_CHECK_GRAPNEL, kPaths.grapnel);
    copy(NUVDM_CHECK_RIX, kPaths.rix);
    copy(NUVDM_CHECK_GAME, std::string("dlls/") + kPaths.gameLibrary);
    pointLibListAt(kPaths.metamod);
    writePluginList();
    write("addons/GrapnelMod/GP_config.txt", std::string(kPaths.gameLibrary) + "\n\nThe game library.\n");
    write("dm_userconfig.cfg", "// NUV DM settings\r\n");
    write("config.cfg", "name player\r\n");
    fs::create_directories(mod() / "addons" / "nuv");
    fs::create_directories(mod() / "addons" / "amxmodx" / "configs");
}

fs::path Installation::at(const std::string& relative) const {
    std::string r = relative;
    std::replace(r.begin(), r.end(), '\\', '/');
    return mod() / fs::path(r);
}

void Installation::write(const std::string& relative, const std::string& text) const {
    fs::create_directories(at(relative).parent_path());
    nuvtest::writeFile(at(relative), text);
}

void Installation::copy(const std::string& from, const std::string& relative) const {
    fs::create_directories(at(relative).parent_path());
    fs::copy_file(from, at(relative), fs::copy_options::overwrite_existing);
}

void Installation::remove(const std::string& relative) const { fs::remove_all(at(relative)); }

void Installation::pointLibListAt(const std::string& path) const {
    // The game's list as the menu writes it, CR LF, the other system's entry
    // naming a library this folder does not hold.
    const std::string windows = kLinuxHost ? "addons\\metamod\\dlls\\metamod.dll" : path;
    const std::string linuxPath = kLinuxHost ? path : "addons/metamod/dlls/metamod_i386.so";
    write("liblist.gam", "// the game's library list\r\ngame \"Counter-Strike\"\r\nversion \"1.6\"\r\n"
                         "gamedll \"" + windows + "\"\r\ngamedll_linux \"" + linuxPath +
                         "\"\r\ntrainmap \"tr_1\"\r\n");
}

void Installation::writePluginList(const std::string& extra, bool packLines) const {
    std::string text = "; the pack's plugins\n\n";
    if (packLines) text += hostLine(kPaths.grapnel) + hostLine(kPaths.rix);
    write("addons/metamod/plugins.ini", text + extra);
}

void Installation::writeDefaults() const {
    const std::string end = kLinuxHost ? "\n" : "\r\n";
    write("addons/nuv/defaults/addons/metamod/plugins.ini",
          "; Metamod's plugins of the NUV DM pack" + end + hostLine(kPaths.grapnel, end) + hostLine(kPaths.rix, end));
    write("addons/nuv/defaults/addons/GrapnelMod/GP_config.txt",
          std::string(kPaths.gameLibrary) + end + end + "The first word names the game library." + end);
    write("addons/nuv/defaults/dm_userconfig.cfg", "// NUV DM settings: the menu's Save writes them." + end);
}

std::string Installation::read(const std::string& relative) const { return nuvtest::readFile(at(relative)); }

std::map<std::string, std::string> Installation::files() const {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(game()))
        if (e.is_regular_file()) all[e.path().lexically_relative(game()).generic_string()] = nuvtest::readFile(e.path());
    return all;
}

Report Installation::check(const fs::path& folder, bool fix) const {
    nuvcheck::Options o;
    o.folder = folder;
    o.bits = kBits;
    o.fix = fix;
    return nuvcheck::checkInstall(o);
}

std::string hostLine(const std::string& path, const std::string& end) { return kPaths.system + (" " + path) + end; }

const nuvcheck::Change* findChange(const Report& r, nuvcheck::Did did, const std::string& where,
                                   const std::string& what) {
    for (const nuvcheck::Change& c : r.changes)
        if (c.did == did && c.where.rfind(where, 0) == 0 && c.what.find(what) != std::string::npos) return &c;
    return nullptr;
}

const Result* find(const Report& r, Status s, const std::string& where, const std::string& saw) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (const Result& x : r.results) {
        if (x.status != s || x.where.rfind(where, 0) != 0 || x.saw.find(saw) == std::string::npos) continue;
        const bool cutNumber = !where.empty() && digit(where.back()) && x.where.size() > where.size() &&
                               digit(x.where[where.size()]);
        if (!cutNumber) return &x;
    }
    return nullptr;
}

std::string text(const Report& r) { return nuvcheck::formatText(r); }

namespace {

void put(std::string& b, size_t at, unsigned long long value, int width) {
    if (b.size() < at + static_cast<size_t>(width)) b.resize(at + static_cast<size_t>(width), '\0');
    for (int i = 0; i < width; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
}

}  // namespace

std::string elfHeader(int bits) {
    std::string b(bits == 64 ? 64 : 52, '\0');
    b.replace(0, 4, "\x7f" "ELF");
    put(b, 4, bits == 64 ? 2 : 1, 1);  // class
    put(b, 5, 1, 1);                   // little-endian
    put(b, 6, 1, 1);                   // version
    put(b, 16, 3, 2);                  // shared object
    put(b, 18, bits == 64 ? 62 : 3, 2);
    return b;
}

std::string peHeader(int bits) {
    std::string b(0x40, '\0');
    b.replace(0, 2, "MZ");
    put(b, 0x3c, 0x40, 4);
    b += std::string("PE\0\0", 4);
    put(b, 0x44, bits == 64 ? 0x8664 : 0x14c, 2);
    put(b, 0x44 + 16, bits == 64 ? 240 : 224, 2);  // optional header size
    put(b, 0x44 + 18, 0x2002, 2);                   // a DLL
    put(b, 0x58, bits == 64 ? 0x20b : 0x10b, 2);
    b.resize(0x58 + (bits == 64 ? 240 : 224), '\0');
    return b;
}

}  // namespace checktest
