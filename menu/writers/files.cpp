#include "writers/files.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace nuv {

namespace fs = std::filesystem;

fs::path modFile(const fs::path& dir, std::string_view relative) {
    fs::path p = dir;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string_view::npos) end = relative.size();
        if (end > start) p /= std::string(relative.substr(start, end - start));
        start = end + 1;
    }
    return p;
}

std::string fullPath(const fs::path& dir, std::string_view name) {
    std::string s = dir.string();
    if (s.empty() || (s.back() != '/' && s.back() != static_cast<char>(fs::path::preferred_separator)))
        s += static_cast<char>(fs::path::preferred_separator);
    s += name;
    return s;
}

bool listedExactly(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return false;
    for (const fs::directory_entry& e : it)
        if (e.path().filename().string() == name) return true;
    return false;
}

namespace {

bool fail(WriteError& error, const fs::path& target, int code) {
    error.file = target;
    error.reason = std::generic_category().message(code);
    return false;
}

}  // namespace

bool writeTextFile(const fs::path& target, const std::string& content, WriteError& error) {
    std::error_code ec;
    const fs::file_status st = fs::status(target, ec);
    if (fs::is_directory(st)) return fail(error, target, EISDIR);
    // Renaming over a write-protected file would succeed on some systems;
    // the protection is the owner's wish, so honour it everywhere.
    if (fs::exists(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return fail(error, target, EACCES);

    fs::path temp = target;
    temp += ".nuvtmp";
    errno = 0;
    std::FILE* f = std::fopen(temp.string().c_str(), "wb");
    if (!f) return fail(error, target, errno ? errno : EIO);
    const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    int code = written ? 0 : (errno ? errno : EIO);
    if (std::fclose(f) != 0 && code == 0) code = errno ? errno : EIO;
    if (code != 0) {
        fs::remove(temp, ec);
        return fail(error, target, code);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        error.file = target;
        error.reason = ec.message();
        return false;
    }
    return true;
}

}  // namespace nuv
