// The CSDM settings (addons\amxmodx\configs\csdm.cfg) and the AMX Mod X
// plugin list (addons\amxmodx\configs\plugins.ini), written by Save after
// the enable files.
#pragma once

#include <filesystem>

#include "writers/files.h"

namespace nuv {

class Form;

// Writes both files below dir from the window's state, csdm.cfg first. Stops
// at the first file that cannot be written: returns false with error filled.
bool writeCsdmFiles(const Form& form, const std::filesystem::path& dir, WriteError& error);

}  // namespace nuv
