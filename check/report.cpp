#include "report.h"

#include <cstdio>

namespace nuvcheck {

void Report::ok(std::string where, std::string saw) {
    results.push_back({Status::Ok, std::move(where), std::move(saw), ""});
}

void Report::warn(std::string where, std::string saw, std::string todo) {
    results.push_back({Status::Warn, std::move(where), std::move(saw), std::move(todo)});
}

void Report::fail(std::string where, std::string saw, std::string todo) {
    results.push_back({Status::Fail, std::move(where), std::move(saw), std::move(todo)});
}

int Report::count(Status s) const {
    int n = 0;
    for (const Result& r : results) n += r.status == s;
    return n;
}

int Report::exitCode() const {
    for (const Change& c : changes)
        if (c.did == Did::Failed) return 1;
    return count(Status::Fail) ? 1 : 0;
}

const char* didWord(Did d) {
    switch (d) {
        case Did::Fixed: return "fixed";
        case Did::Kept: return "kept";
        case Did::Failed: return "FAIL";
    }
    return "?";
}

const char* statusWord(Status s) {
    switch (s) {
        case Status::Ok: return "ok";
        case Status::Warn: return "warn";
        case Status::Fail: return "FAIL";
    }
    return "?";
}

namespace {

std::string padded(std::string word) {
    word.resize(6, ' ');
    return word;
}

}  // namespace

std::string formatText(const Report& report) {
    std::string out;
    for (const Change& c : report.changes) out += padded(didWord(c.did)) + c.where + ": " + c.what + '\n';
    for (const Result& r : report.results) {
        out += padded(statusWord(r.status)) + r.where + ": " + r.saw;
        if (r.status != Status::Ok && !r.todo.empty()) out += " -> " + r.todo;
        out += '\n';
    }
    const int fails = report.count(Status::Fail), warns = report.count(Status::Warn);
    out += std::to_string(report.results.size()) + (report.results.size() == 1 ? " check: " : " checks: ") + std::to_string(report.count(Status::Ok)) +
           " ok, " + std::to_string(warns) + " warn, " + std::to_string(fails) + " FAIL";
    out += fails ? " - the pack will not work as installed\n" : "\n";
    return out;
}

namespace {

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x80) {
                    // Names from files may hold any byte: keep the document
                    // valid by escaping what is not plain ASCII.
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

// A JSON array of records, one per line.
template <class T, class Record>
std::string jsonList(const std::vector<T>& items, Record record) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? ",\n    " : "\n    ") + record(items[i]);
    return out + (items.empty() ? "]" : "\n  ]");
}

}  // namespace

std::string formatJson(const Report& report) {
    std::string out = "{\n";
    out += "  \"folder\": " + jsonString(report.folder.string()) + ",\n";
    out += "  \"mod_folder\": " + jsonString(report.modFolder.string()) + ",\n";
    out += "  \"systems\": [";
    for (size_t i = 0; i < report.systems.size(); ++i) out += (i ? ", " : "") + jsonString(report.systems[i]);
    out += "],\n";
    out += "  \"changes\": " + jsonList(report.changes, [](const Change& c) {
        return "{\"did\": " + jsonString(didWord(c.did)) + ", \"where\": " + jsonString(c.where) +
               ", \"what\": " + jsonString(c.what) + "}";
    }) + ",\n";
    out += "  \"results\": " + jsonList(report.results, [](const Result& r) {
        return "{\"status\": " + jsonString(statusWord(r.status)) + ", \"where\": " + jsonString(r.where) +
               ", \"saw\": " + jsonString(r.saw) + ", \"todo\": " + jsonString(r.todo) + "}";
    }) + ",\n";
    out += "  \"ok\": " + std::to_string(report.count(Status::Ok)) + ",\n";
    out += "  \"warn\": " + std::to_string(report.count(Status::Warn)) + ",\n";
    out += "  \"fail\": " + std::to_string(report.count(Status::Fail)) + ",\n";
    out += "  \"exit_code\": " + std::to_string(report.exitCode()) + "\n}\n";
    return out;
}

}  // namespace nuvcheck
