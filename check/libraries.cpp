// What a library is, whether a 32-bit server of its system can load it, and
// what it needs from the server.
#include <algorithm>

#include "install.h"

namespace fs = std::filesystem;

namespace nuvcheck {

const Library& Install::library(const fs::path& file) {
    auto it = libraries_.find(file);
    if (it != libraries_.end()) return it->second;
    Library lib;
    lib.read = readBinaryFile(file, lib.info, lib.reason);
    return libraries_.emplace(file, std::move(lib)).first->second;
}

std::string Install::shown(const fs::path& p) const {
    const fs::path rel = p.lexically_relative(mod);
    if (!rel.empty() && rel.native()[0] != '.') return rel.generic_string();
    return p.string();
}

std::string libraryStem(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string stem = lowerCase(slash == std::string::npos ? path : path.substr(slash + 1));
    for (const std::string ext : {".so", ".dll"})
        if (stem.size() > ext.size() && stem.compare(stem.size() - ext.size(), ext.size(), ext) == 0)
            stem.resize(stem.size() - ext.size());
    if (stem.size() > 5 && stem.compare(stem.size() - 5, 5, "_i386") == 0) stem.resize(stem.size() - 5);
    return stem;
}

Role roleOf(const fs::path& file, const BinaryInfo& info) {
    const std::string stem = libraryStem(file.filename().string());
    if (stem == "grapnel_mm") return Role::Grapnel;
    if (stem == "rix_mm") return Role::Rix;
    if (info.exportsName("Meta_Query")) return Role::MetamodPlugin;
    if (info.exportsName("GiveFnptrsToDll") &&
        (info.exportsName("GetEntityAPI") || info.exportsName("GetEntityAPI2")))
        return stem.rfind("metamod", 0) == 0 ? Role::Metamod : Role::GameLibrary;
    return Role::Other;
}

const char* roleName(Role r) {
    switch (r) {
        case Role::GameLibrary: return "a game library";
        case Role::Metamod: return "Metamod";
        case Role::Grapnel: return "grapnel_mm";
        case Role::Rix: return "rix_mm";
        case Role::MetamodPlugin: return "a Metamod plugin";
        case Role::Other: return "neither a game library nor a Metamod plugin";
    }
    return "?";
}

std::string kindProblem(const Install& in, const Library& lib, System system) {
    if (!lib.read) return "cannot be read (" + lib.reason + ")";
    const BinaryInfo& b = lib.info;
    const BinaryFormat want = system == System::Linux ? BinaryFormat::Elf : BinaryFormat::Pe;
    if (b.format == BinaryFormat::Unknown)
        return "is no library at all (neither ELF nor PE: a text file, or a download that went wrong?)";
    if (b.format != want) {
        return system == System::Linux ? "is a Windows file (" + b.describe() + "), not a Linux library"
                                       : "is a Linux file (" + b.describe() + "), not a Windows DLL";
    }
    const int bits = in.options.bits;
    if (b.bits != bits)
        return "is a " + std::to_string(b.bits) + "-bit build (" + b.describe() + "); the server is " +
               std::to_string(bits) + "-bit";
    const bool machineOk = bits == 32 ? b.isI386() : (b.machine == 62 || b.machine == 0x8664);
    if (!machineOk) return "is built for another processor (" + b.describe() + ")";
    if (!b.library) return "is not a shared library (" + b.describe() + ")";
    if (!b.damage.empty()) return "is damaged or cut short (" + b.damage + ")";
    return "";
}

namespace {

// Where each system's server has Metamod and the game library, in the order
// they are preferred.
const struct {
    System system;
    Role role;
    const char* path;
} kKnownLibraries[] = {
    {System::Linux, Role::Metamod, "addons/metamod/dlls/metamod_i386.so"},
    {System::Linux, Role::Metamod, "addons/metamod/dlls/metamod.so"},
    {System::Windows, Role::Metamod, "addons\\metamod\\dlls\\metamod.dll"},
    {System::Linux, Role::GameLibrary, "dlls/cs.so"},
    {System::Linux, Role::GameLibrary, "dlls/cs_i386.so"},
    {System::Windows, Role::GameLibrary, "dlls\\mp.dll"},
};

// The first known library of the role that the system's server can load.
std::string knownHere(Install& in, System s, Role role) {
    for (const auto& known : kKnownLibraries) {
        if (known.system != s || known.role != role) continue;
        const Found f = lookUp(in.mod, known.path, s, in.options.host);
        if (f.what != Found::Here || !isFile(f.path)) continue;
        const Library& lib = in.library(f.path);
        if (kindProblem(in, lib, s).empty() && roleOf(f.path, lib.info) == role) return known.path;
    }
    return "";
}

}  // namespace

std::string metamodHere(Install& in, System s) { return knownHere(in, s, Role::Metamod); }

std::string gameLibraryHere(Install& in, System s) {
    const std::string path = knownHere(in, s, Role::GameLibrary);
    return path.empty() ? path : path.substr(5);  // below dlls/
}

std::string pointAtMetamod(Install& in, System s, const std::string& key) {
    const std::string here = metamodHere(in, s);
    if (!here.empty()) return "point " + key + " at Metamod (" + here + ")";
    if (s == System::Windows)
        return "install Metamod (addons\\metamod\\dlls\\metamod.dll) and point " + key + " at it";
    return "install Metamod (addons/metamod/dlls/metamod_i386.so of Metamod-P or -R, or metamod.so of older "
           "builds; Xash3D FWGS drops _i386 from the name in liblist.gam and loads metamod.so) and point " +
           key + " at it";
}

namespace {

enum class Need { Base, Runtime };

struct NeedRule {
    System system;
    const char* name;  // lower case; a trailing '*' matches any rest
    Need need;
    const char* what;  // for runtimes: what it is
    const char* todo;  // and how a server gets it
};

const char* const kCxx = "the C++ runtime, which a bare 64-bit server lacks in 32 bits";
const char* const kGcc = "the GCC support library, which a bare 64-bit server lacks in 32 bits";
const char* const kMingw = "a MinGW runtime DLL, which Windows does not have";
const char* const kMingwTodo = "put it beside the server program, or use a static build";
const char* const kMsvc = "the Visual C++ runtime";
const char* const kMsvcTodo = "install Microsoft's Visual C++ Redistributable (x86)";

const NeedRule kNeedRules[] = {
    {System::Linux, "libc.so.6", Need::Base, "", ""},
    {System::Linux, "libm.so.6", Need::Base, "", ""},
    {System::Linux, "libdl.so.2", Need::Base, "", ""},
    {System::Linux, "libpthread.so.0", Need::Base, "", ""},
    {System::Linux, "librt.so.1", Need::Base, "", ""},
    {System::Linux, "libresolv.so.2", Need::Base, "", ""},
    {System::Linux, "ld-linux.so.2", Need::Base, "", ""},
    {System::Linux, "libstdc++.so*", Need::Runtime, kCxx,
     "install it (Debian/Ubuntu: lib32stdc++6) or use a build that needs none"},
    {System::Linux, "libgcc_s.so*", Need::Runtime, kGcc,
     "install it (Debian/Ubuntu: lib32gcc-s1) or use a build that needs none"},
    {System::Windows, "kernel32.dll", Need::Base, "", ""},
    {System::Windows, "user32.dll", Need::Base, "", ""},
    {System::Windows, "gdi32.dll", Need::Base, "", ""},
    {System::Windows, "advapi32.dll", Need::Base, "", ""},
    {System::Windows, "shell32.dll", Need::Base, "", ""},
    {System::Windows, "ws2_32.dll", Need::Base, "", ""},
    {System::Windows, "wsock32.dll", Need::Base, "", ""},
    {System::Windows, "msvcrt.dll", Need::Base, "", ""},
    {System::Windows, "ntdll.dll", Need::Base, "", ""},
    {System::Windows, "ole32.dll", Need::Base, "", ""},
    {System::Windows, "oleaut32.dll", Need::Base, "", ""},
    {System::Windows, "comctl32.dll", Need::Base, "", ""},
    {System::Windows, "comdlg32.dll", Need::Base, "", ""},
    {System::Windows, "winmm.dll", Need::Base, "", ""},
    {System::Windows, "version.dll", Need::Base, "", ""},
    {System::Windows, "shlwapi.dll", Need::Base, "", ""},
    {System::Windows, "api-ms-win-*", Need::Base, "", ""},
    {System::Windows, "libstdc++*", Need::Runtime, kMingw, kMingwTodo},
    {System::Windows, "libgcc_s*", Need::Runtime, kMingw, kMingwTodo},
    {System::Windows, "libwinpthread*", Need::Runtime, kMingw, kMingwTodo},
    {System::Windows, "msvcp*", Need::Runtime, kMsvc, kMsvcTodo},
    {System::Windows, "vcruntime*", Need::Runtime, kMsvc, kMsvcTodo},
};

const NeedRule* ruleFor(System system, const std::string& library) {
    const std::string name = lowerCase(library);
    for (const NeedRule& r : kNeedRules) {
        if (r.system != system) continue;
        const std::string pattern = r.name;
        const bool prefix = pattern.back() == '*';
        const std::string stem = prefix ? pattern.substr(0, pattern.size() - 1) : pattern;
        if (prefix ? name.rfind(stem, 0) == 0 : name == stem) return &r;
    }
    return nullptr;
}

// The newest C library version every server is taken to have: what the
// pack's own plugins are held to.
const char* const kOldestGlibc = "2.17";

void add(std::string& list, const std::string& part, const char* separator) {
    if (part.empty()) return;
    if (!list.empty()) list += separator;
    list += part;
}

}  // namespace

void checkRuntime(Install& in, const fs::path& file, const BinaryInfo& info, System system) {
    if (!in.needsReported.insert(file).second) return;
    const std::string where = in.shown(file);
    std::string saw, todo, base;
    for (const std::string& needed : info.needed) {
        const NeedRule* rule = ruleFor(system, needed);
        if (rule && rule->need == Need::Base) {
            add(base, needed, ", ");
        } else if (rule) {
            add(saw, "needs " + needed + ", " + rule->what, "; ");
            add(todo, needed + ": " + rule->todo, "; ");
        } else {
            add(saw, "needs " + needed + ", which is not part of a bare server", "; ");
            add(todo, "make sure the server has " + needed, "; ");
        }
    }
    if (system == System::Linux) {
        const std::string glibc = info.newestGlibc();
        if (!glibc.empty() && compareVersions(glibc.substr(6), kOldestGlibc) > 0) {
            add(saw, "needs " + glibc + " of the C library", "; ");
            add(todo, std::string("servers with an older C library cannot load it: use a build for GLIBC_") +
                          kOldestGlibc + " or older",
                "; ");
        } else {
            add(saw, glibc.empty() ? "no versioned C library symbols" : glibc + " at newest", "; ");
        }
    }
    add(saw, base.empty() ? "no system libraries" : "system libraries " + base, "; ");
    if (todo.empty())
        in.report.ok(where, saw);
    else
        in.report.warn(where, saw, todo);
}

}  // namespace nuvcheck
