#include "support/menu_support.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace nuvtest {

ScratchDir::ScratchDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("nuvdm_menu_" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            path_ = fs::canonical(p);
            return;
        }
    }
    throw std::runtime_error("no scratch folder");
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    // Restore write permission so everything can go.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void ScratchDir::modFolder() const {
    writeFile(path_ / "dm_userconfig.cfg", "old user config\r\n");
    writeFile(path_ / "config.cfg", "name player\r\n");
    fs::create_directories(path_ / "addons" / "nuv");
    fs::create_directories(path_ / "addons" / "amxmodx" / "configs");
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + p.string());
    out << content;
}

std::string golden(const std::string& relative, const fs::path& dir) {
    std::string text = readFile(fs::path(NUVDM_MENU_GOLDEN_DIR) / relative);
    // "@DIR@/" stands for the folder and the platform's separator.
    const std::string marker = "@DIR@/";
    const std::string folder = dir.string() + static_cast<char>(fs::path::preferred_separator);
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
        text.replace(at, marker.size(), folder);
        at += folder.size();
    }
    return text;
}

std::vector<std::string> savedFiles() {
    return {"dm_userconfig.cfg", "liblist.gam", "addons/nuv/dm_enable.cfg",
            "addons/nuv/dm_enable_ffa.cfg"};
}

}  // namespace nuvtest
