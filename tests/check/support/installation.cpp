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

// A NUL-terminated name appended to a string table; its offset in it.
size_t addName(std::string& table, const std::string& name) {
    const size_t at = table.size();
    table += name;
    table += '\0';
    return at;
}

void align(std::string& b, size_t to) { b.resize((b.size() + to - 1) / to * to, '\0'); }

}  // namespace

std::string elfImage(const ElfImage& image) {
    const bool wide = image.bits == 64;
    const int word = wide ? 8 : 4;
    const size_t header = wide ? 64 : 52, phent = wide ? 56 : 32, syment = wide ? 24 : 16;

    std::string strings(1, '\0');
    std::vector<size_t> neededAt, symbolAt, glibcAt;
    for (const std::string& n : image.needed) neededAt.push_back(addName(strings, n));
    for (const ElfSymbol& s : image.symbols) symbolAt.push_back(addName(strings, s.name));
    const size_t libcAt = addName(strings, "libc.so.6");
    for (const std::string& v : image.glibc) glibcAt.push_back(addName(strings, v));

    std::string b(header + 2 * phent, '\0');
    const size_t strtab = b.size();
    b += strings;
    align(b, 8);
    const size_t symtab = b.size();
    b.resize(symtab + syment * (image.symbols.size() + 1), '\0');  // entry 0 stays the null symbol
    for (size_t i = 0; i < image.symbols.size(); ++i) {
        const ElfSymbol& s = image.symbols[i];
        const size_t at = symtab + syment * (i + 1);
        const unsigned info = (s.bind << 4) | 2;  // a function
        put(b, at, symbolAt[i], 4);
        put(b, at + (wide ? 4 : 12), info, 1);
        put(b, at + (wide ? 5 : 13), s.visibility, 1);
        put(b, at + (wide ? 6 : 14), s.defined ? 1 : 0, 2);
        put(b, at + (wide ? 8 : 4), s.defined ? 0x100 + 16 * i : 0, word);
    }
    // The old hash table: one bucket; its chain count is the symbol count.
    const size_t hash = b.size();
    put(b, hash, 1, 4);
    put(b, hash + 4, image.symbols.size() + 1, 4);
    b.resize(hash + 12 + 4 * (image.symbols.size() + 1), '\0');
    const size_t verneed = b.size();
    if (!image.glibc.empty()) {
        put(b, verneed, 1, 2);  // version of the structure
        put(b, verneed + 2, image.glibc.size(), 2);
        put(b, verneed + 4, libcAt, 4);
        put(b, verneed + 8, 16, 4);  // the first aux entry right after
        for (size_t i = 0; i < image.glibc.size(); ++i) {
            const size_t aux = verneed + 16 + 16 * i;
            put(b, aux + 6, 2 + i, 2);  // version index
            put(b, aux + 8, glibcAt[i], 4);
            put(b, aux + 12, i + 1 < image.glibc.size() ? 16 : 0, 4);
        }
    }
    align(b, 8);
    const size_t dynamic = b.size();
    std::vector<std::pair<unsigned long long, unsigned long long>> entries;
    for (size_t at : neededAt) entries.push_back({1, at});  // DT_NEEDED
    entries.push_back({5, strtab});                          // DT_STRTAB
    entries.push_back({10, strings.size()});                 // DT_STRSZ
    entries.push_back({6, symtab});                          // DT_SYMTAB
    entries.push_back({11, syment});                         // DT_SYMENT
    entries.push_back({4, hash});                            // DT_HASH
    if (!image.glibc.empty()) {
        entries.push_back({0x6ffffffe, verneed});  // DT_VERNEED
        entries.push_back({0x6fffffff, 1});        // DT_VERNEEDNUM
    }
    entries.push_back({0, 0});  // DT_NULL
    for (size_t i = 0; i < entries.size(); ++i) {
        put(b, dynamic + 2 * word * i, entries[i].first, word);
        put(b, dynamic + 2 * word * i + word, entries[i].second, word);
    }
    const size_t dynamicSize = b.size() - dynamic, total = b.size();

    b.replace(0, 4, "\x7f" "ELF");
    put(b, 4, wide ? 2 : 1, 1);  // class
    put(b, 5, 1, 1);             // little-endian
    put(b, 6, 1, 1);             // version
    put(b, 16, image.type, 2);
    put(b, 18, image.machine, 2);
    put(b, 20, 1, 4);
    put(b, wide ? 32 : 28, header, word);  // program headers right after this one
    put(b, wide ? 52 : 40, header, 2);
    put(b, wide ? 54 : 42, phent, 2);
    put(b, wide ? 56 : 44, 2, 2);
    // One segment loads the whole file at address 0, so addresses are offsets.
    const struct {
        unsigned type;
        size_t offset, size;
    } segments[] = {{1, 0, total}, {2, dynamic, dynamicSize}};
    for (size_t i = 0; i < 2; ++i) {
        const size_t at = header + phent * i;
        put(b, at, segments[i].type, 4);
        if (wide) {
            put(b, at + 4, 6, 4);  // read, write
            put(b, at + 8, segments[i].offset, 8);
            put(b, at + 16, segments[i].offset, 8);
            put(b, at + 24, segments[i].offset, 8);
            put(b, at + 32, segments[i].size, 8);
            put(b, at + 40, segments[i].size, 8);
            put(b, at + 48, 8, 8);
        } else {
            put(b, at + 4, segments[i].offset, 4);
            put(b, at + 8, segments[i].offset, 4);
            put(b, at + 12, segments[i].offset, 4);
            put(b, at + 16, segments[i].size, 4);
            put(b, at + 20, segments[i].size, 4);
            put(b, at + 24, 6, 4);
            put(b, at + 28, 4, 4);
        }
    }
    return b;
}

std::string peImage(const PeImage& image) {
    const bool wide = image.bits == 64;
    const size_t coff = 0x44, optional = 0x58, optionalSize = wide ? 240 : 224;
    const size_t sectionTable = optional + optionalSize, raw = 0x200, base = 0x1000;

    // The section: the export directory and its tables, then the import
    // descriptors, then the names they point at.
    std::string s;
    size_t exportSize = 0, importAt = 0;
    std::vector<std::pair<size_t, std::string>> names;  // where an address of a name goes, and the name
    if (!image.exports.empty()) {
        const size_t count = image.exports.size();
        const size_t functions = std::max<size_t>(image.functions, count);
        s.resize(40, '\0');
        put(s, 16, 1, 4);  // ordinal base
        put(s, 20, functions, 4);
        put(s, 24, count, 4);
        const size_t functionTable = s.size(), nameTable = functionTable + 4 * functions,
                     ordinalTable = nameTable + 4 * count;
        put(s, 28, base + functionTable, 4);
        put(s, 32, base + nameTable, 4);
        put(s, 36, base + ordinalTable, 4);
        for (size_t i = 0; i < functions; ++i) put(s, functionTable + 4 * i, base + 0x800 + 16 * i, 4);
        for (size_t i = 0; i < count; ++i) {
            names.push_back({nameTable + 4 * i, image.exports[i]});
            put(s, ordinalTable + 2 * i, i, 2);
        }
        names.push_back({12, "image.dll"});
        align(s, 4);
        exportSize = s.size();
    }
    importAt = s.size();
    for (size_t i = 0; i < image.imports.size(); ++i) names.push_back({importAt + 20 * i + 12, image.imports[i]});
    s.resize(importAt + 20 * (image.imports.size() + 1), '\0');  // ends with an empty descriptor
    for (const auto& n : names) put(s, n.first, base + addName(s, n.second), 4);
    align(s, 0x200);

    std::string b(raw, '\0');
    b.replace(0, 2, "MZ");
    put(b, 0x3c, 0x40, 4);
    b.replace(0x40, 4, std::string("PE\0\0", 4));
    unsigned characteristics = 0x0002;  // executable
    if (!wide) characteristics |= 0x0100;  // 32-bit machine
    if (image.dll) characteristics |= 0x2000;
    put(b, coff, image.machine, 2);
    put(b, coff + 2, 1, 2);  // one section
    put(b, coff + 16, optionalSize, 2);
    put(b, coff + 18, characteristics, 2);
    put(b, optional, wide ? 0x20b : 0x10b, 2);
    put(b, optional + 60, raw, 4);  // size of the headers
    const size_t directories = optional + (wide ? 112 : 96);
    put(b, directories - 4, 16, 4);
    if (exportSize) {
        put(b, directories, base, 4);
        put(b, directories + 4, exportSize, 4);
    }
    put(b, directories + 8, base + importAt, 4);
    put(b, directories + 12, 20 * (image.imports.size() + 1), 4);
    b.replace(sectionTable, 6, ".rdata");
    put(b, sectionTable + 8, s.size(), 4);
    put(b, sectionTable + 12, base, 4);
    put(b, sectionTable + 16, s.size(), 4);
    put(b, sectionTable + 20, raw, 4);
    return b + s;
}

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
