// The checker's findings: one line per check, ok / warn / FAIL, what it saw
// and, for warn and FAIL, what to do; before them what --fix changed. Printed
// as text or as one JSON document.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace nuvcheck {

enum class Status { Ok, Warn, Fail };

struct Result {
    Status status;
    std::string where;  // the file or part checked, e.g. "liblist.gam" or "maps/de_x.addent:12"
    std::string saw;    // what the checker found
    std::string todo;   // what to do (warn and FAIL)
};

// What nuvdm-check --fix did to one file: a change made, the copy of the old
// content kept beside it, or a change it could not make (the file is as it was).
enum class Did { Fixed, Kept, Failed };

struct Change {
    Did did;
    std::string where;  // the file, with the line changed where one applies
    std::string what;
};

struct Report {
    std::filesystem::path folder;     // as given
    std::filesystem::path modFolder;  // the mod folder checked; empty when none was found
    std::vector<std::string> systems;  // the systems checked: "linux", "win32"
    std::vector<Result> results;
    std::vector<Change> changes;  // --fix only

    void ok(std::string where, std::string saw);
    void warn(std::string where, std::string saw, std::string todo);
    void fail(std::string where, std::string saw, std::string todo);

    int count(Status s) const;
    // 0 when nothing FAILs and every change was made, 1 otherwise.
    int exitCode() const;
};

const char* statusWord(Status s);  // "ok", "warn", "FAIL"
const char* didWord(Did d);        // "fixed", "kept", "FAIL"

// "fixed where: what" lines of the changes, then "ok    where: saw" lines,
// " -> todo" after warn and FAIL, then a summary line.
std::string formatText(const Report& report);
std::string formatJson(const Report& report);

}  // namespace nuvcheck
