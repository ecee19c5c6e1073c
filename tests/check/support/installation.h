// A game folder with the pack installed for the system the tests run on, in
// a temporary folder: the server program's marker, cstrike/liblist.gam
// pointing at a stand-in Metamod, Metamod's plugin list loading the real
// grapnel_mm and rix_mm of this build, the fake game library as the game's,
// GP_config.txt naming it, and what the menu's Save needs. Tests break one
// thing at a time and look at the report.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "check.h"
#include "support/menu_support.h"

namespace checktest {

constexpr nuvcheck::System kHost = nuvcheck::kHostSystem;
constexpr nuvcheck::System kOther =
    kHost == nuvcheck::System::Linux ? nuvcheck::System::Windows : nuvcheck::System::Linux;
constexpr bool kLinuxHost = kHost == nuvcheck::System::Linux;
// The word size of this build's libraries, which the checks are told to expect.
constexpr int kBits = static_cast<int>(sizeof(void*) * 8);
// A sanitizer build's libraries need the sanitizers' runtimes (and through
// them the C++ runtime), which a server build does not.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Paths below the mod folder, as the host system's lists name them.
struct HostPaths {
    const char* system;      // "linux" or "win32"
    const char* gamedllKey;  // "gamedll_linux" or "gamedll"
    const char* metamod;
    const char* grapnel;
    const char* rix;
    const char* gameLibrary;  // below dlls/
    const char* amx;          // AMX Mod X's Metamod library
};
extern const HostPaths kPaths;

class Installation {
public:
    Installation();

    const std::filesystem::path& game() const { return dir_.path(); }
    std::filesystem::path mod() const { return dir_.path() / "cstrike"; }

    // Files below the mod folder; '\' in `relative` counts as '/'.
    void write(const std::string& relative, const std::string& text) const;
    void copy(const std::string& from, const std::string& relative) const;
    void remove(const std::string& relative) const;

    // liblist.gam with the host's game library entry set to `path`.
    void pointLibListAt(const std::string& path) const;
    // Metamod's list: the pack's two host lines, then `extra` lines.
    void writePluginList(const std::string& extra = "", bool packLines = true) const;

    // The pack's defaults as the archive ships them below addons/nuv/defaults/:
    // plugins.ini with the host's lines, GP_config.txt naming the host's game
    // library, the stand-in dm_userconfig.cfg; Windows ones with CR LF.
    void writeDefaults() const;

    std::string read(const std::string& relative) const;
    // Every file below the game folder and its content.
    std::map<std::string, std::string> files() const;

    nuvcheck::Report check() const { return check(game()); }
    nuvcheck::Report check(const std::filesystem::path& folder, bool fix = false) const;
    // nuvdm-check --fix on the game folder.
    nuvcheck::Report fix() const { return check(game(), true); }

private:
    std::filesystem::path at(const std::string& relative) const;
    nuvtest::ScratchDir dir_;
};

// The first result of the status whose place starts with `where` (a line
// number in it whole: ":5" is not ":50") and whose text holds `saw`; null
// when none.
const nuvcheck::Result* find(const nuvcheck::Report& r, nuvcheck::Status s, const std::string& where,
                             const std::string& saw = "");
// The report as the program prints it, for failure messages.
std::string text(const nuvcheck::Report& r);
// The first change of the kind whose place starts with `where` and whose
// text holds `what`; null when none.
const nuvcheck::Change* findChange(const nuvcheck::Report& r, nuvcheck::Did did, const std::string& where,
                                   const std::string& what = "");
// "linux PATH\n" or "win32 PATH\n" with the host's line end `end`.
std::string hostLine(const std::string& path, const std::string& end = "\n");

// Header bytes of a library of another build: an ELF or PE shared library of
// the given word size for the x86 processor of that size, with nothing else.
std::string elfHeader(int bits);
std::string peHeader(int bits);

// Whole small images of the kinds this build does not make, as a loader
// reads them. ELF: one loaded segment holding the dynamic section, its
// string, symbol and hash tables and the versions needed from libc.so.6.
struct ElfSymbol {
    const char* name;
    unsigned bind = 1;        // 0 local, 1 global, 2 weak, 10 unique
    unsigned visibility = 0;  // 0 default, 1 internal, 2 hidden, 3 protected
    bool defined = true;      // false: imported (section index 0)
};
struct ElfImage {
    int bits = 32;
    unsigned machine = 3;  // i386
    unsigned type = 3;     // shared object
    std::vector<ElfSymbol> symbols;
    std::vector<std::string> needed = {"libc.so.6"};
    std::vector<std::string> glibc;  // "GLIBC_2.0" and so on, needed from libc.so.6
};
std::string elfImage(const ElfImage& image);

// PE: one section holding the export directory, its tables and the import
// descriptors. `functions` is the export directory's function count; below
// the number of names it counts as the same.
struct PeImage {
    int bits = 32;
    unsigned machine = 0x14c;  // i386
    bool dll = true;           // false: a program
    std::vector<std::string> exports;
    unsigned functions = 0;
    std::vector<std::string> imports = {"KERNEL32.dll"};
};
std::string peImage(const PeImage& image);

}  // namespace checktest
