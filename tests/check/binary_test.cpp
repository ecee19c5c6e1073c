// The ELF and PE readers on the libraries of this build, and on cut and
// damaged copies of them: partial answers, never a read outside the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "binary.h"
#include "install.h"
#include "support/installation.h"

namespace {

using checktest::ElfImage;
using checktest::ElfSymbol;
using checktest::PeImage;
using nuvcheck::BinaryFormat;
using nuvcheck::BinaryInfo;
using nuvcheck::Status;
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
    // Every part counts, the longer number's last one too.
    EXPECT_LT(nuvcheck::compareVersions("2.17", "2.17.1"), 0);
    EXPECT_GT(nuvcheck::compareVersions("2.17.1", "2.17"), 0);
    info.versions = {"GLIBC_2.17", "GLIBC_2.17.1", "GLIBC_2.3"};
    EXPECT_EQ(info.newestGlibc(), "GLIBC_2.17.1");
}

// Images of kinds this build does not make, written by the test, and what the
// checks say of each: its description, why a server of `bits` cannot load it
// ("" when it can), the names it exports and the line on what it needs.
struct ImageCase {
    const char* name;
    std::string (*image)();
    int bits;  // the server's word size
    const char* described;
    const char* problem;
    std::vector<std::string> exports;  // sorted
    Status runtime;
    const char* needs;
};

ElfImage elf(int bits, unsigned machine, std::vector<std::string> glibc = {"GLIBC_2.0"}) {
    ElfImage image;
    image.bits = bits;
    image.machine = machine;
    image.symbols = {{"Meta_Query"}, {"memcpy", 1, 0, false}};
    image.glibc = std::move(glibc);
    return image;
}

PeImage pe(int bits, unsigned machine) {
    PeImage image;
    image.bits = bits;
    image.machine = machine;
    image.exports = {"Meta_Query"};
    return image;
}

const char* const kLibcOnly = "GLIBC_2.0 at newest; system libraries libc.so.6";

const ImageCase kImages[] = {
    // Weak, unique and protected symbols are exports; local, hidden and
    // imported ones are not.
    {"I386PluginWithWeakEntryPoints",
     [] {
         ElfImage image = elf(32, 3, {"GLIBC_2.0", "GLIBC_2.17", "GLIBC_2.1.3"});
         image.symbols = {{"Meta_Query"},          {"GiveFnptrsToDll", 2},  {"GetEntityAPI2", 10},
                          {"Meta_Attach", 1, 3},   {"helper", 0},           {"hidden_helper", 1, 2},
                          {"weak_hidden", 2, 2},   {"memcpy", 1, 0, false}, {"weak_import", 2, 0, false}};
         return checktest::elfImage(image);
     },
     32, "ELF32 i386 shared object", "", {"GetEntityAPI2", "GiveFnptrsToDll", "Meta_Attach", "Meta_Query"},
     Status::Ok, "GLIBC_2.17 at newest; system libraries libc.so.6"},
    {"X8664PluginNeedingGlibc218", [] { return checktest::elfImage(elf(64, 62, {"GLIBC_2.2.5", "GLIBC_2.18"})); },
     64, "ELF64 x86-64 shared object", "", {"Meta_Query"}, Status::Warn,
     "needs GLIBC_2.18 of the C library; system libraries libc.so.6"},
    {"GlibcPointReleaseIsNewerThan217", [] { return checktest::elfImage(elf(32, 3, {"GLIBC_2.17", "GLIBC_2.17.1"})); },
     32, "ELF32 i386 shared object", "", {"Meta_Query"}, Status::Warn,
     "needs GLIBC_2.17.1 of the C library; system libraries libc.so.6"},
    {"X8664LibraryForA32BitServer", [] { return checktest::elfImage(elf(64, 62)); }, 32,
     "ELF64 x86-64 shared object", "is a 64-bit build (ELF64 x86-64 shared object); the server is 32-bit",
     {"Meta_Query"}, Status::Ok, kLibcOnly},
    {"AArch64Library", [] { return checktest::elfImage(elf(64, 183)); }, 64, "ELF64 AArch64 shared object",
     "is built for another processor (ELF64 AArch64 shared object)", {"Meta_Query"}, Status::Ok, kLibcOnly},
    {"ArmLibrary", [] { return checktest::elfImage(elf(32, 40)); }, 32, "ELF32 ARM shared object",
     "is built for another processor (ELF32 ARM shared object)", {"Meta_Query"}, Status::Ok, kLibcOnly},
    {"LinuxProgram",
     [] {
         ElfImage image = elf(32, 3);
         image.type = 2;
         return checktest::elfImage(image);
     },
     32, "ELF32 i386 program", "is not a shared library (ELF32 i386 program)", {"Meta_Query"}, Status::Ok, kLibcOnly},
    // Three functions, two of them by name: the names are the exports.
    {"PeDllExportingByOrdinalToo",
     [] {
         PeImage image = pe(32, 0x14c);
         image.exports = {"GiveFnptrsToDll", "GetEntityAPI2"};
         image.functions = 3;
         return checktest::peImage(image);
     },
     32, "PE32 i386 DLL", "", {"GetEntityAPI2", "GiveFnptrsToDll"}, Status::Ok, "system libraries KERNEL32.dll"},
    {"PeX8664MachineInA32BitImage", [] { return checktest::peImage(pe(32, 0x8664)); }, 32, "PE32 x86-64 DLL",
     "is built for another processor (PE32 x86-64 DLL)", {"Meta_Query"}, Status::Ok, "system libraries KERNEL32.dll"},
    {"PeArmDll", [] { return checktest::peImage(pe(32, 0x1c4)); }, 32, "PE32 ARM DLL",
     "is built for another processor (PE32 ARM DLL)", {"Meta_Query"}, Status::Ok, "system libraries KERNEL32.dll"},
    {"PePlusX8664Dll", [] { return checktest::peImage(pe(64, 0x8664)); }, 64, "PE32+ x86-64 DLL", "",
     {"Meta_Query"}, Status::Ok, "system libraries KERNEL32.dll"},
    {"PePlusArm64Dll", [] { return checktest::peImage(pe(64, 0xaa64)); }, 64, "PE32+ ARM64 DLL",
     "is built for another processor (PE32+ ARM64 DLL)", {"Meta_Query"}, Status::Ok, "system libraries KERNEL32.dll"},
    {"WindowsProgram",
     [] {
         PeImage image = pe(32, 0x14c);
         image.dll = false;
         return checktest::peImage(image);
     },
     32, "PE32 i386 program", "is not a shared library (PE32 i386 program)", {"Meta_Query"}, Status::Ok,
     "system libraries KERNEL32.dll"},
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.name; }

class CheckImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(CheckImage, TheChecksSayWhatItIs) {
    const ImageCase& c = GetParam();
    nuvtest::ScratchDir dir;
    const fs::path file = dir.path() / "image";
    nuvtest::writeFile(file, c.image());
    nuvcheck::Options options;
    options.bits = c.bits;
    nuvcheck::Report report;
    nuvcheck::Install in(options, report);
    const nuvcheck::Library& lib = in.library(file);
    ASSERT_TRUE(lib.read) << lib.reason;
    const BinaryInfo& info = lib.info;
    EXPECT_EQ(info.damage, "");
    EXPECT_EQ(info.describe(), c.described);
    const nuvcheck::System system = info.format == BinaryFormat::Pe ? nuvcheck::System::Windows
                                                                     : nuvcheck::System::Linux;
    EXPECT_EQ(nuvcheck::kindProblem(in, lib, system), c.problem);
    std::vector<std::string> exports = info.exports;
    std::sort(exports.begin(), exports.end());
    EXPECT_EQ(exports, c.exports);
    nuvcheck::checkRuntime(in, file, info, system);
    ASSERT_EQ(report.results.size(), 1u);
    EXPECT_STREQ(nuvcheck::statusWord(report.results[0].status), nuvcheck::statusWord(c.runtime));
    EXPECT_EQ(report.results[0].saw, c.needs);
}

INSTANTIATE_TEST_SUITE_P(Images, CheckImage, ::testing::ValuesIn(kImages),
                         [](const ::testing::TestParamInfo<ImageCase>& info) { return info.param.name; });

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
