// Files as each system sees them: a name given in a list (liblist.gam,
// plugins.ini, GP_config.txt) is looked up the way that system's server would
// look it up, whatever system the checker runs on.
#pragma once

#include <filesystem>
#include <string>

namespace nuvcheck {

enum class System { Linux, Windows };

const char* systemWord(System s);  // "linux", "win32": the words of Metamod's list
const char* systemName(System s);  // "Linux", "Windows"

struct Found {
    enum What {
        Here,          // found as named
        OtherCase,     // on Linux: only with other upper and lower case (path holds it)
        Missing,       // not there
        NotCheckable,  // an absolute path of the other system
    } what = Missing;
    std::filesystem::path path;
};

// Looks `name` up below `base`. Windows takes '\' and '/' as separators and
// any case; Linux takes only '/' and the exact case. An absolute name is
// looked up as it stands when `system` is the one the checker runs on.
Found lookUp(const std::filesystem::path& base, const std::string& name, System system, System host);

// The entry of dir named exactly `name`, or any case of it; empty when none.
std::string entryNamed(const std::filesystem::path& dir, const std::string& name, bool anyCase);

bool isFile(const std::filesystem::path& p);
bool isFolder(const std::filesystem::path& p);
// The current user may create files in the folder / replace the file. A file
// whose owner took away its write permission counts as protected, as the
// menu honours that even where renaming over it would work.
bool canWrite(const std::filesystem::path& p);
// The whole file; false when it cannot be read.
bool readText(const std::filesystem::path& p, std::string& out);

bool equalsAnyCase(const std::string& a, const std::string& b);
std::string lowerCase(std::string s);

}  // namespace nuvcheck
