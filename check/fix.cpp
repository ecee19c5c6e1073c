// nuvdm-check --fix: makes the changes that the checks noted in in.mends,
// and nothing else. Each file is written whole under a temporary name beside
// it and renamed over the old one; the first time a file is changed, its old
// content is kept beside it as NAME.bak, which later runs leave as it is.
// New files take their text from the pack's defaults, which the archive
// ships at their real places below addons/nuv/defaults/; without them, a
// minimal text of their own.
#include <algorithm>
#include <cctype>

#include "install.h"
#include "writers/files.h"

namespace fs = std::filesystem;

namespace nuvcheck {

namespace {

const char* const kDefaults = "addons/nuv/defaults/";

// One file's new content and the changes made in it.
struct Edit {
    fs::path file;
    std::string text;
    bool existed = false;
    std::vector<Change> changes;
};

// The line end of the text (its first one decides), or of the system the
// folder serves for a text that has none: CR LF for Windows alone.
std::string lineEndOf(const Install& in, const std::string& text) {
    const size_t lf = text.find('\n');
    if (lf != std::string::npos) return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
    return in.used(System::Linux) ? "\n" : "\r\n";
}

// The pack's default of a file: the same path below the defaults folder.
// Sets `from` to where it came from; false when the archive's copy is not here.
bool readDefault(const Install& in, const fs::path& file, std::string& text, std::string& from) {
    const std::string name = kDefaults + in.shown(file);
    const Found f = lookUp(in.mod, name, in.options.host, in.options.host);
    if (f.what != Found::Here || !readText(f.path, text)) return false;
    from = name;
    return true;
}

// A new file: the pack's default, else `builtIn` with the folder's line end.
std::string newText(const Install& in, const fs::path& file, const std::string& builtIn, std::string& from) {
    std::string text;
    if (readDefault(in, file, text, from)) return text;
    from.clear();
    return builtIn.empty() ? builtIn : builtIn + lineEndOf(in, "");
}

std::string madeFrom(const std::string& from) {
    return from.empty() ? " (one line of its own: the pack's " + std::string(kDefaults) + " is not here)"
                        : " (the text of " + from + ")";
}

void fixLibList(Install& in, std::vector<Edit>& edits) {
    const Mends& m = in.mends;
    if (m.values.empty()) return;
    Edit edit{m.libList, "", true, {}};
    if (!readText(edit.file, edit.text)) return;
    std::vector<Mends::Value> values = m.values;
    // From the end backwards, so that each value's place stays as read.
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.begin > b.begin; });
    for (const Mends::Value& v : values) {
        if (edit.text.compare(v.begin, v.end - v.begin, v.from) != 0) return;  // changed since it was read
        edit.text.replace(v.begin, v.end - v.begin, v.to);
        edit.changes.insert(edit.changes.begin(),
                            {Did::Fixed, in.shown(edit.file) + ":" + std::to_string(v.line),
                             v.key + " \"" + v.from + "\" now names Metamod: \"" + v.to + "\""});
    }
    edits.push_back(std::move(edit));
}

void fixPluginList(Install& in, std::vector<Edit>& edits) {
    const Mends& m = in.mends;
    if (m.listLines.empty()) return;
    Edit edit{m.list, "", isFile(m.list), {}};
    const std::string where = in.shown(m.list);
    if (edit.existed) {
        if (!readText(edit.file, edit.text)) return;
    } else {
        std::string from;
        edit.text = newText(in, edit.file, "", from);
        edit.changes.push_back({Did::Fixed, where, "written" + (from.empty() ? "" : madeFrom(from))});
    }
    const std::string end = lineEndOf(in, edit.text);
    const std::vector<ListLine> lines = parsePluginList(edit.text);
    int number = static_cast<int>(std::count(edit.text.begin(), edit.text.end(), '\n'));
    if (!edit.text.empty() && edit.text.back() != '\n') {
        edit.text += end;  // the last line had no line end: it keeps its own line
        ++number;
    }
    for (const Mends::Line& add : m.listLines) {
        const std::string system = add.line.substr(0, add.line.find(' '));
        if (lineNaming(lines, system, libraryStem(add.line))) continue;  // the default has it
        edit.text += add.line + end;
        edit.changes.push_back(
            {Did::Fixed, where + ":" + std::to_string(++number), "added " + add.line + ", which loads " + add.what});
    }
    edits.push_back(std::move(edit));
}

void fixGpConfig(Install& in, std::vector<Edit>& edits) {
    const Mends& m = in.mends;
    if (m.gpConfig.empty()) return;
    std::string from;
    Edit edit{m.gpConfig, newText(in, m.gpConfig, m.gpConfigWord, from), false, {}};
    // The default's first word names the game library it was made for.
    if (!from.empty()) {
        auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
        const auto begin = std::find_if_not(edit.text.begin(), edit.text.end(), space);
        const auto end = std::find_if(begin, edit.text.end(), space);
        edit.text.replace(begin, end, m.gpConfigWord);
    }
    edit.changes.push_back({Did::Fixed, in.shown(m.gpConfig), "written, naming " + m.gpConfigWord + madeFrom(from)});
    edits.push_back(std::move(edit));
}

void fixUserConfig(Install& in, std::vector<Edit>& edits) {
    const Mends& m = in.mends;
    if (m.userConfig.empty()) return;
    std::string from;
    Edit edit{m.userConfig,
              newText(in, m.userConfig, "// NUV DM settings: the menu's SAVE SETTINGS writes them here.", from),
              false,
              {}};
    edit.changes.push_back({Did::Fixed, in.shown(m.userConfig), "written, the menu's stand-in" + madeFrom(from)});
    edits.push_back(std::move(edit));
}

// Writes one file: its old content to NAME.bak first when there is none yet,
// then the new content. A file it cannot write stays as it was.
void save(const Install& in, Edit& edit, std::vector<Change>& out) {
    const std::string where = in.shown(edit.file);
    auto failed = [&](const std::string& why) {
        out.push_back({Did::Failed, where,
                       "not changed: " + why + " -> let this user read and write it, and run nuvdm-check --fix again"});
    };
    nuv::WriteError error;
    fs::path backup = edit.file;
    backup += ".bak";
    Change kept{Did::Kept, in.shown(backup), "the content before this fix"};
    std::error_code ec;
    if (edit.existed && !canWrite(edit.file)) {
        failed("it is write-protected");
        return;
    }
    if (!edit.existed) {
        fs::create_directories(edit.file.parent_path(), ec);
    } else if (fs::exists(backup, ec) || ec) {
        kept.what = "from an earlier fix, left as it is";
    } else if (std::string old; !readText(edit.file, old)) {
        failed("it cannot be read");
        return;
    } else if (!nuv::writeTextFile(backup, old, error)) {
        failed(kept.where + " cannot be written (" + error.reason + ")");
        return;
    }
    if (!nuv::writeTextFile(edit.file, edit.text, error)) {
        failed("it cannot be written (" + error.reason + ")");
        return;
    }
    out.insert(out.end(), edit.changes.begin(), edit.changes.end());
    if (edit.existed) out.push_back(kept);
}

}  // namespace

std::vector<Change> applyMends(Install& in) {
    std::vector<Edit> edits;
    fixLibList(in, edits);
    fixPluginList(in, edits);
    fixGpConfig(in, edits);
    fixUserConfig(in, edits);
    std::vector<Change> changes;
    for (Edit& edit : edits) save(in, edit, changes);
    return changes;
}

}  // namespace nuvcheck
