// What nuvdm-check learns from a library file without loading it: its format,
// word size, processor and kind, the names it exports, the libraries it needs
// and, for ELF, the symbol versions it needs. The readers take the file's bytes
// and check every offset against them, so a cut or garbage file gives a
// partial answer and a note, never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace nuvcheck {

enum class BinaryFormat { Unknown, Elf, Pe };

struct BinaryInfo {
    BinaryFormat format = BinaryFormat::Unknown;
    int bits = 0;                // 32 or 64; 0 when unknown
    unsigned machine = 0;        // ELF e_machine or PE machine field, as found
    bool bigEndian = false;      // ELF only
    bool library = false;        // ELF shared object, PE DLL
    unsigned elfType = 0;        // ELF e_type, as found
    std::vector<std::string> exports;   // ELF dynamic symbols defined global; PE export names
    std::vector<std::string> needed;    // ELF DT_NEEDED; PE imported (and delay-loaded) DLLs
    std::vector<std::string> versions;  // ELF versions needed, e.g. "GLIBC_2.3"
    std::string damage;  // why a part could not be read; empty when the file read whole

    bool exportsName(const std::string& name) const;
    bool isI386() const;
    // "ELF32 i386 shared object", "PE32+ x86-64 DLL", "PE32 i386 program" and so on.
    std::string describe() const;
    // The newest "GLIBC_x.y" of versions, or "" when none.
    std::string newestGlibc() const;
};

BinaryInfo readBinary(const std::uint8_t* data, std::size_t size);

// Reads a whole file (at most kMaxBinaryFile bytes) and its binary facts.
// False with a reason when the file cannot be read or is too large for a library.
constexpr std::uintmax_t kMaxBinaryFile = 256u << 20;
bool readBinaryFile(const std::filesystem::path& file, BinaryInfo& info, std::string& reason);

// Compares two "x.y[.z]" version numbers: negative, 0 or positive.
int compareVersions(const std::string& a, const std::string& b);

}  // namespace nuvcheck
