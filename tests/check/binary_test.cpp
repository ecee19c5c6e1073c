// The ELF and PE readers on the libraries of this build, and on cut and
// damaged copies of them: partial answers, never a read outside the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "binary.h"
#include "support/installation.h"

namespace {

using nuvcheck::BinaryFormat;
using nuvcheck::BinaryInfo;
namespace fs = std::filesystem;

const BinaryFormat kHostFormat = checktest::kLinuxHost ? BinaryFormat::Elf : BinaryFormat::Pe;

BinaryInfo read(const char* file) {
    BinaryInfo info;
    std::string reason;
    EXPECT_TRUE(nuvcheck::readBinaryFile(file, info, reason)) << file << ": " << reason;
    return info;
}

bool needs(const BinaryInfo& info, const std::string& prefix) {
    for (const std::string& n : info.needed)
        if (nuvcheck::lowerCase(n).rfind(prefix, 0) == 0) return true;
    return false;
}

TEST(CheckBinary, ReadsTheLibrariesOfThisBuild) {
    const BinaryInfo grapnel = read(NUVDM_CHECK_GRAPNEL);
    EXPECT_EQ(grapnel.format, kHostFormat);
    EXPECT_EQ(grapnel.bits, checktest::kBits);
    EXPECT_TRUE(grapnel.library);
    EXPECT_EQ(grapnel.damage, "");
    for (const char* name : {"GiveFnptrsToDll", "Meta_Query", "Meta_Attach", "GetEntityAPI2", "ambient_generic"})
        EXPECT_TRUE(grapnel.exportsName(name)) << name;
    EXPECT_FALSE(grapnel.exportsName("memcpy"));  // needed, not defined
    EXPECT_TRUE(needs(grapnel, checktest::kLinuxHost ? "libc.so" : "kernel32.dll"));
    if (!checktest::kSanitized) {
        EXPECT_FALSE(needs(grapnel, "libstdc++"));
    }

    // The stand-in exports these four and nothing else: every symbol table
    // entry is read, the last one too.
    BinaryInfo metamod = read(NUVDM_CHECK_METAMOD);
    std::sort(metamod.exports.begin(), metamod.exports.end());
    EXPECT_EQ(metamod.exports,
              (std::vector<std::string>{"GetEntityAPI", "GetEntityAPI2", "GetNewDLLFunctions", "GiveFnptrsToDll"}));

    const BinaryInfo game = read(NUVDM_CHECK_GAME);
    EXPECT_TRUE(game.exportsName("worldspawn"));
    EXPECT_FALSE(game.exportsName("Meta_Query"));
    // The fake game library uses the C++ runtime: a Linux build needs it.
    if (checktest::kLinuxHost) {
        EXPECT_TRUE(needs(game, "libstdc++"));
        EXPECT_NE(game.newestGlibc(), "");
    }
}

TEST(CheckBinary, DescribesWhatItFound) {
    auto describe = [](const std::string& bytes) {
        return nuvcheck::readBinary(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()).describe();
    };
    EXPECT_EQ(describe(checktest::elfHeader(64)), "ELF64 x86-64 shared object");
    EXPECT_EQ(describe(checktest::elfHeader(32)), "ELF32 i386 shared object");
    EXPECT_EQ(describe(checktest::peHeader(64)), "PE32+ x86-64 DLL");
    EXPECT_EQ(describe(checktest::peHeader(32)), "PE32 i386 DLL");
    EXPECT_EQ(describe("plain text\n"), "neither an ELF nor a PE file");
}

TEST(CheckBinary, NewestGlibcComparesVersionsAsNumbers) {
    BinaryInfo info;
    info.versions = {"GLIBC_2.3.4", "GLIBC_2.17", "GLIBC_PRIVATE", "GLIBCXX_3.4.30", "GLIBC_2.2"};
    EXPECT_EQ(info.newestGlibc(), "GLIBC_2.17");
    EXPECT_GT(nuvcheck::compareVersions("2.10", "2.9"), 0);
    EXPECT_EQ(nuvcheck::compareVersions("2.3", "2.3.0"), 0);
}

std::vector<std::uint8_t> bytesOf(const char* file) {
    std::string text = nuvtest::readFile(file);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Every cut of the file gives a subset of the whole file's exports.
TEST(CheckBinary, CutFilesGivePartialAnswers) {
    for (const char* file : {NUVDM_CHECK_GRAPNEL, NUVDM_CHECK_METAMOD}) {
        const std::vector<std::uint8_t> data = bytesOf(file);
        const BinaryInfo whole = nuvcheck::readBinary(data.data(), data.size());
        const std::set<std::string> all(whole.exports.begin(), whole.exports.end());
        std::vector<size_t> cuts;
        for (size_t n = 0; n < std::min<size_t>(data.size(), 1024); ++n) cuts.push_back(n);
        for (size_t n = 1024; n < data.size(); n += std::max<size_t>(1, data.size() / 997)) cuts.push_back(n);
        for (size_t n : cuts) {
            // A copy of exactly n bytes, so that a read past it is caught.
            const std::vector<std::uint8_t> cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
            const BinaryInfo part = nuvcheck::readBinary(cut.data(), cut.size());
            ASSERT_LE(part.exports.size(), whole.exports.size()) << file << " cut at " << n;
            for (const std::string& e : part.exports) ASSERT_TRUE(all.count(e)) << e << " at " << n;
        }
    }
}

// Headers and tables overwritten with pseudo-random bytes.
TEST(CheckBinary, DamagedFilesAreReadWithoutHarm) {
    const std::vector<std::uint8_t> data = bytesOf(NUVDM_CHECK_METAMOD);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int damaged = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> copy = data;
        const size_t span = round % 2 ? copy.size() : std::min<size_t>(copy.size(), 512);
        for (int k = 0; k < 1 + round % 6; ++k) copy[next() % span] = static_cast<std::uint8_t>(next());
        const BinaryInfo info = nuvcheck::readBinary(copy.data(), copy.size());
        damaged += !info.damage.empty();
        for (const std::string& e : info.exports) ASSERT_LE(e.size(), 4096u);
    }
    EXPECT_GT(damaged, 0);
}

}  // namespace
