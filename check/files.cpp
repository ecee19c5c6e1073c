#include "files.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace fs = std::filesystem;

namespace nuvcheck {

const char* systemWord(System s) { return s == System::Linux ? "linux" : "win32"; }
const char* systemName(System s) { return s == System::Linux ? "Linux" : "Windows"; }

std::string lowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool equalsAnyCase(const std::string& a, const std::string& b) { return lowerCase(a) == lowerCase(b); }

std::string entryNamed(const fs::path& dir, const std::string& name, bool anyCase) {
    std::error_code ec;
    std::string other;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (entry == name) return entry;
        if (anyCase && other.empty() && equalsAnyCase(entry, name)) other = entry;
    }
    return other;
}

namespace {

bool isAbsolute(const std::string& name, System system) {
    if (system == System::Linux) return !name.empty() && name[0] == '/';
    if (name.size() >= 2 && name[1] == ':') return true;
    return !name.empty() && (name[0] == '\\' || name[0] == '/');
}

std::vector<std::string> components(const std::string& name, System system) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : name) {
        if (c == '/' || (c == '\\' && system == System::Windows)) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

Found lookUp(const fs::path& base, const std::string& name, System system, System host) {
    Found found;
    std::error_code ec;
    if (isAbsolute(name, system)) {
        if (system != host) {
            found.what = Found::NotCheckable;
            return found;
        }
        found.path = name;
        found.what = fs::exists(found.path, ec) ? Found::Here : Found::Missing;
        return found;
    }
    fs::path at = base;
    bool caseDiffers = false;
    for (const std::string& part : components(name, system)) {
        if (part == ".") continue;
        if (part == "..") {
            at /= part;
            continue;
        }
        const std::string entry = entryNamed(at, part, true);
        if (entry.empty()) {
            found.what = Found::Missing;
            found.path = base / name;
            return found;
        }
        caseDiffers = caseDiffers || entry != part;
        at /= entry;
    }
    found.path = at;
    found.what = caseDiffers && system == System::Linux ? Found::OtherCase : Found::Here;
    return found;
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

bool isFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool canWrite(const fs::path& p) {
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (ec) return false;
    if (fs::is_regular_file(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    return access(p.string().c_str(), W_OK) == 0;
}

bool readText(const fs::path& p, std::string& out) {
    std::FILE* f = std::fopen(p.string().c_str(), "rb");
    if (!f) return false;
    out.clear();
    char buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace nuvcheck
