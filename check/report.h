// The checker's findings: one line per check, ok / warn / FAIL, what it saw
// and, for warn and FAIL, what to do. Printed as text or as one JSON document.
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

struct Report {
    std::filesystem::path folder;     // as given
    std::filesystem::path modFolder;  // the mod folder checked; empty when none was found
    std::vector<std::string> systems;  // the systems checked: "linux", "win32"
    std::vector<Result> results;

    void ok(std::string where, std::string saw);
    void warn(std::string where, std::string saw, std::string todo);
    void fail(std::string where, std::string saw, std::string todo);

    int count(Status s) const;
    // 0 when nothing FAILs, 1 when something does.
    int exitCode() const { return count(Status::Fail) ? 1 : 0; }
};

const char* statusWord(Status s);  // "ok", "warn", "FAIL"

// "ok    where: saw" lines, " -> todo" after warn and FAIL, then a summary line.
std::string formatText(const Report& report);
std::string formatJson(const Report& report);

}  // namespace nuvcheck
