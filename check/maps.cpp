// The map entity files in maps/: every .rement and .addent read with the
// plugin's own readers (mapfiles/), reporting what rix_mm would skip or
// refuse, with line numbers.
#include <algorithm>
#include <vector>

#include "entlist.h"
#include "install.h"

namespace fs = std::filesystem;

namespace nuvcheck {

namespace {

struct Problem {
    ScriptProblem problem;
    int line;
};

struct Explanation {
    ScriptProblem problem;
    const char* saw;
    const char* todo;
};

const Explanation kExplanations[] = {
    {SCRIPT_INCOMPLETE_LINE, "a key without its value on the same line: rix_mm takes the key's own text as value",
     "put the value on the key's line"},
    {SCRIPT_TOKEN_TOO_LARGE,
     "a word of more than 511 characters: rix_mm drops it (a key's own text stands in for such a value; "
     "anywhere else reading stops here)",
     "shorten it"},
    {SCRIPT_OPEN_QUOTE, "a quote that is never closed: the rest of the file is read as one word",
     "close the quote"},
    {ENT_NO_OPEN_BRACE, "a word where a block should begin with \"{\": rix_mm reads no further",
     "begin each block with { and end it with }"},
    {ENT_TABLE_FULL, "a block past the 1024th: rix_mm adds at most 1024 entities per map and reads no further",
     "keep to 1024 blocks"},
    {ENT_NO_CLOSING_BRACE, "the block begun here has no closing \"}\": rix_mm spawns it with the pairs read",
     "end the block with }"},
    {ENT_KEY_TOO_LONG,
     "a key of 31 or more characters: rix_mm reads no further (its block keeps the pairs before it)",
     "keys hold at most 30 characters"},
    {ENT_NO_CLASSNAME, "a block without \"classname\": rix_mm skips it", "give the block a classname"},
    {REMOVAL_TOO_MANY_NAMES, "the 201st name: rix_mm removes at most 200 classes per map and ignores the rest",
     "keep to 200 names"},
    {REMOVAL_WORLDSPAWN, "worldspawn: the world is never removed", "take the name out"},
};

const Explanation& explain(ScriptProblem p) {
    for (const Explanation& e : kExplanations)
        if (e.problem == p) return e;
    return kExplanations[0];
}

void collect(void* context, ScriptProblem problem, int line, const char*) {
    static_cast<std::vector<Problem>*>(context)->push_back({problem, line});
}

// Findings shown per file; the rest are counted.
constexpr size_t kShownPerFile = 5;

// The readers' tables, reused from file to file (the added-entity table is
// large for the stack).
AddedEntities added;
RemovalList removal;

}  // namespace

void checkMapFiles(Install& in) {
    const System s = in.used(System::Linux) ? System::Linux : System::Windows;
    const Found maps = lookUp(in.mod, "maps", s, in.options.host);
    if (maps.what != Found::Here || !isFolder(maps.path)) {
        in.report.ok("maps", "no maps folder: no map entity files to read");
        return;
    }
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(maps.path, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string ext = lowerCase(it->path().extension().string());
        if ((ext == ".rement" || ext == ".addent") && isFile(it->path())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());

    int removals = 0, additions = 0, withFindings = 0;
    std::string text;
    for (const fs::path& file : files) {
        const std::string where = "maps/" + file.filename().string();
        if (!readText(file, text)) {
            in.report.warn(where, "cannot be read", "make the file readable");
            continue;
        }
        std::vector<Problem> problems;
        if (lowerCase(file.extension().string()) == ".rement") {
            ++removals;
            Removal_Parse(&removal, text.data(), text.size(), collect, &problems);
            Removal_Clear(&removal);
        } else {
            ++additions;
            EntList_Parse(&added, text.data(), text.size(), collect, &problems);
            EntList_Clear(&added);
        }
        if (problems.empty()) continue;
        ++withFindings;
        std::stable_sort(problems.begin(), problems.end(),
                         [](const Problem& a, const Problem& b) { return a.line < b.line; });
        for (size_t i = 0; i < problems.size() && i < kShownPerFile; ++i) {
            const Explanation& e = explain(problems[i].problem);
            in.report.warn(where + ":" + std::to_string(problems[i].line), e.saw, e.todo);
        }
        if (problems.size() > kShownPerFile)
            in.report.warn(where, std::to_string(problems.size() - kShownPerFile) + " more findings like those above",
                           "fix the lines above and run the check again");
    }
    in.report.ok("maps", std::to_string(removals) + " removal and " + std::to_string(additions) +
                             " addition files read as rix_mm reads them" +
                             (withFindings ? ", " + std::to_string(withFindings) + " with findings above" : ""));
}

}  // namespace nuvcheck
