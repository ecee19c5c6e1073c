// The CSDM settings (addons\amxmodx\configs\csdm.cfg) and the AMX Mod X
// plugin list (addons\amxmodx\configs\plugins.ini), written by Save after
// the enable files.
#pragma once

#include <filesystem>
#include <string>

#include "writers/files.h"

namespace nuv {

class Form;

// The address named in the comment of the kreedz timer plugin's line.
extern const char* const kKreedzUrl;

// The whole text of csdm.cfg for the window's state (no footer).
std::string csdmSettingsText(const Form& form);
// The whole text of plugins.ini: the detailed list when "plugins" is
// checked, else the full list; both end in the footer line.
std::string pluginListText(const Form& form);

// Writes both files below dir from the window's state, csdm.cfg first. Stops
// at the first file that cannot be written: returns false with error filled.
bool writeCsdmFiles(const Form& form, const std::filesystem::path& dir, WriteError& error);

}  // namespace nuv
