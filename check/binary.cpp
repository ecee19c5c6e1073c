#include "binary.h"

#include <algorithm>
#include <cstdio>

#include "readers.h"

namespace nuvcheck {

namespace {

struct MachineName {
    BinaryFormat format;
    unsigned code;
    const char* name;
};

const MachineName kMachines[] = {
    {BinaryFormat::Elf, 3, "i386"},      {BinaryFormat::Elf, 62, "x86-64"},
    {BinaryFormat::Elf, 40, "ARM"},      {BinaryFormat::Elf, 183, "AArch64"},
    {BinaryFormat::Elf, 8, "MIPS"},      {BinaryFormat::Elf, 20, "PowerPC"},
    {BinaryFormat::Elf, 21, "PowerPC64"}, {BinaryFormat::Pe, 0x14c, "i386"},
    {BinaryFormat::Pe, 0x8664, "x86-64"}, {BinaryFormat::Pe, 0x1c0, "ARM"},
    {BinaryFormat::Pe, 0x1c4, "ARM"},     {BinaryFormat::Pe, 0xaa64, "ARM64"},
    {BinaryFormat::Pe, 0x200, "Itanium"},
};

std::string machineName(BinaryFormat format, unsigned code) {
    for (const MachineName& m : kMachines)
        if (m.format == format && m.code == code) return m.name;
    char text[32];
    std::snprintf(text, sizeof text, "machine 0x%x", code);
    return text;
}

// The number parts of "x.y.z".
std::vector<unsigned long> versionParts(const std::string& v) {
    std::vector<unsigned long> parts;
    unsigned long n = 0;
    bool digits = false;
    for (char c : v) {
        if (c >= '0' && c <= '9') {
            n = n * 10 + static_cast<unsigned long>(c - '0');
            digits = true;
        } else {
            if (digits) parts.push_back(n);
            n = 0;
            digits = false;
        }
    }
    if (digits) parts.push_back(n);
    return parts;
}

}  // namespace

bool BinaryInfo::exportsName(const std::string& name) const {
    return std::find(exports.begin(), exports.end(), name) != exports.end();
}

bool BinaryInfo::isI386() const {
    return (format == BinaryFormat::Elf && machine == 3) || (format == BinaryFormat::Pe && machine == 0x14c);
}

std::string BinaryInfo::describe() const {
    if (format == BinaryFormat::Unknown) return "neither an ELF nor a PE file";
    // Appended piece by piece: gcc 12 at -O3 takes the temporaries of a chain
    // of operator+ for overlapping copies.
    std::string d = format == BinaryFormat::Elf ? "ELF" : "PE";
    if (format == BinaryFormat::Elf && bits) d += std::to_string(bits);
    if (format == BinaryFormat::Pe) d += bits == 64 ? "32+" : "32";
    if (bits == 0) {
        d += " file (";
        d += damage;
        d += ')';
        return d;
    }
    d += ' ';
    d += machineName(format, machine);
    if (bigEndian) d += " big-endian";
    if (format == BinaryFormat::Elf) {
        static const char* const kTypes[] = {"file of no type", "object file", "program", "shared object", "core dump"};
        d += " ";
        d += elfType < 5 ? kTypes[elfType] : "file of an unknown type";
    } else {
        d += library ? " DLL" : " program";
    }
    return d;
}

std::string BinaryInfo::newestGlibc() const {
    std::string newest;
    for (const std::string& v : versions) {
        if (v.rfind("GLIBC_", 0) != 0 || v.size() <= 6 || v[6] < '0' || v[6] > '9') continue;
        if (newest.empty() || compareVersions(v.substr(6), newest.substr(6)) > 0) newest = v;
    }
    return newest;
}

int compareVersions(const std::string& a, const std::string& b) {
    const auto pa = versionParts(a), pb = versionParts(b);
    for (size_t i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const unsigned long x = i < pa.size() ? pa[i] : 0, y = i < pb.size() ? pb[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

BinaryInfo readBinary(const std::uint8_t* data, std::size_t size) {
    BinaryInfo info;
    Bytes bytes(data, size);
    if (bytes.startsWith(0, "\x7f" "ELF", 4))
        readElf(bytes, info);
    else if (bytes.startsWith(0, "MZ", 2))
        readPe(bytes, info);
    return info;
}

bool readBinaryFile(const std::filesystem::path& file, BinaryInfo& info, std::string& reason) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        reason = ec.message();
        return false;
    }
    if (size > kMaxBinaryFile) {
        reason = "larger than any library (" + std::to_string(size >> 20) + " MB)";
        return false;
    }
    std::FILE* f = std::fopen(file.string().c_str(), "rb");
    if (!f) {
        reason = "cannot be opened";
        return false;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    const bool read = data.empty() || std::fread(data.data(), 1, data.size(), f) == data.size();
    std::fclose(f);
    if (!read) {
        reason = "cannot be read";
        return false;
    }
    info = readBinary(data.data(), data.size());
    return true;
}

}  // namespace nuvcheck
