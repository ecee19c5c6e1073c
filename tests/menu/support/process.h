// Runs a program with arguments, without a shell, and collects what it wrote.
#pragma once

#include <string>
#include <vector>

namespace nuvtest {

struct ProcessRun {
    int code = -1;  // exit status; -1 when the program could not run or was killed
    std::string out, err;
};

// Runs `program` with `args` and waits for it. Standard output and standard
// error are collected separately, or both in `out` when mergeErr is set.
ProcessRun runProgram(const std::string& program, const std::vector<std::string>& args,
                      bool mergeErr = false);

}  // namespace nuvtest
