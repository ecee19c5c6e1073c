// A whole check of a mod folder with 300 maps, each with a removal file of 20
// names and an addition file of 30 blocks, besides the pack's libraries
// under Metamod. Target: well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "check.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMaps = 300;

void put(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

void copy(const char* from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// The game folder, made once for the whole run.
struct Folder {
    Folder() {
        game = fs::temp_directory_path() / ("nuvdm_bench_check_" + std::to_string(std::random_device{}()));
        const fs::path mod = game / "cstrike";
        put(game / "hlds_run", "server\n");
        copy(BENCH_METAMOD, mod / "addons/metamod/dlls/metamod_i386.so");
        copy(BENCH_GRAPNEL, mod / "addons/grapnel/dlls/grapnel_mm_i386.so");
        copy(BENCH_RIX, mod / "addons/rix/dlls/rix_mm_i386.so");
        copy(BENCH_GAME, mod / "dlls/cs_i386.so");
        put(mod / "liblist.gam", "game \"Counter-Strike\"\r\ngamedll_linux \"addons/metamod/dlls/metamod_i386.so\"\r\n");
        put(mod / "addons/metamod/plugins.ini",
            "linux addons/grapnel/dlls/grapnel_mm_i386.so\nlinux addons/rix/dlls/rix_mm_i386.so\n");
        put(mod / "dm_userconfig.cfg", "\r\n");
        put(mod / "config.cfg", "\r\n");
        fs::create_directories(mod / "addons/nuv");
        std::string removal, addition;
        for (int i = 0; i < 20; ++i) removal += "func_class_" + std::to_string(i) + "\n";
        for (int i = 0; i < 30; ++i)
            addition += "{\n\"classname\" \"info_target\"\n\"origin\" \"" + std::to_string(i) +
                        " 0 0\"\n\"targetname\" \"t" + std::to_string(i) + "\"\n\"model\" \"models/can.mdl\"\n}\n";
        for (int m = 0; m < kMaps; ++m) {
            const std::string name = "de_bench_" + std::to_string(m);
            put(mod / "maps" / (name + ".bsp"), std::string(4096, 'b'));
            put(mod / "maps" / (name + ".rement"), removal);
            put(mod / "maps" / (name + ".addent"), addition);
        }
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(game, ec);
    }
    fs::path game;
};

void BM_CheckModFolderWithMaps(benchmark::State& state) {
    static Folder folder;
    nuvcheck::Options options;
    options.folder = folder.game;
    options.bits = static_cast<int>(sizeof(void*) * 8);
    size_t results = 0;
    for (auto _ : state) {
        const nuvcheck::Report report = nuvcheck::checkInstall(options);
        results = report.results.size();
        benchmark::DoNotOptimize(results);
    }
    state.counters["maps"] = kMaps;
    state.counters["entity_files"] = 2 * kMaps;
    state.counters["results"] = static_cast<double>(results);
}
BENCHMARK(BM_CheckModFolderWithMaps)->Unit(benchmark::kMillisecond);

}  // namespace
