// The game's library list liblist.gam (the pack's on/off switch) and the
// two CSDM enable files.
#pragma once

#include <filesystem>
#include <string>

namespace nuv {

class Form;

// The library list pointing at Metamod (on) or back at the game library (off),
// for the mod folder dir (the Linux build names the libraries it holds).
std::string libListText(bool switchOn, const std::filesystem::path& dir);

struct EnableFiles {
    bool write = false;  // false: csdm off with ffa on, both files keep their content
    std::string plain;   // addons\nuv\dm_enable.cfg
    std::string ffa;     // addons\nuv\dm_enable_ffa.cfg
};

EnableFiles enableFilesText(const Form& form);

}  // namespace nuv
