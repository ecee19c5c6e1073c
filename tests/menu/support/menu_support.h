// Helpers shared by the menu's tests: a front end that records what it was
// asked to show, a scratch mod folder, and file reading.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "form/frontend.h"

namespace nuvtest {

struct Box {
    std::string title, text;
    nuv::MessageStyle style;
};

class RecordingFrontEnd : public nuv::FrontEnd {
public:
    void messageBox(const std::string& title, const std::string& text,
                    nuv::MessageStyle style) override {
        boxes.push_back({title, text, style});
    }
    void openWebPage(const std::string& url) override { pages.push_back(url); }

    std::vector<Box> boxes;
    std::vector<std::string> pages;
};

// A fresh folder below the system's temporary folder, removed at the end.
// modFolder() lays it out like an installed mod folder: dm_userconfig.cfg,
// config.cfg, addons/nuv/ and addons/amxmodx/configs/.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void modFolder() const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& content);

// An expected file from tests/menu/golden/, with "@DIR@/" replaced by dir's
// full path and the platform's separator, as the footers name it.
std::string golden(const std::string& relative, const std::filesystem::path& dir);

// The path of the five files Save writes in this layer, relative to the mod folder.
std::vector<std::string> savedFiles();

}  // namespace nuvtest
