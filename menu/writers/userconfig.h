// The user configuration dm_userconfig.cfg: a console script of game,
// plugin and bot settings.
#pragma once

#include <filesystem>
#include <string>

namespace nuv {

class Form;

// The file's whole text for the window's state; dir gives the footer's path.
std::string userConfigText(const Form& form, const std::filesystem::path& dir);

}  // namespace nuv
