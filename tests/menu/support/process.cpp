#include "support/process.h"

#include <filesystem>
#include <stdexcept>

#include "support/menu_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace nuvtest {

namespace {

#if defined(_WIN32)
// One argument quoted so that the C runtime's command-line parser gives it back
// unchanged: backslashes are literal except before a double quote.
std::wstring quoteArgument(const std::wstring& arg) {
    std::wstring q = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        if (c == L'"') q.append(slashes * 2 + 1, L'\\');
        else q.append(slashes, L'\\');
        slashes = 0;
        q += c;
    }
    q.append(slashes * 2, L'\\');
    return q + L"\"";
}

HANDLE inheritableFile(const fs::path& p) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(p.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int spawnAndWait(const std::string& program, const std::vector<std::string>& args,
                 const fs::path& out, const fs::path& err, bool mergeErr) {
    std::wstring cmd = quoteArgument(fs::absolute(fs::path(program)).wstring());
    for (const std::string& a : args) cmd += L" " + quoteArgument(fs::path(a).wstring());
    HANDLE hOut = inheritableFile(out);
    HANDLE hErr = mergeErr ? hOut : inheritableFile(err);
    int code = -1;
    if (hOut != INVALID_HANDLE_VALUE && hErr != INVALID_HANDLE_VALUE) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hOut;
        si.hStdError = hErr;
        PROCESS_INFORMATION pi{};
        std::vector<wchar_t> line(cmd.begin(), cmd.end());
        line.push_back(L'\0');
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                           &pi)) {
            WaitForSingleObject(pi.hProcess, INFINITE);
            DWORD exit = 0;
            if (GetExitCodeProcess(pi.hProcess, &exit)) code = static_cast<int>(exit);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    if (hOut != INVALID_HANDLE_VALUE) CloseHandle(hOut);
    if (!mergeErr && hErr != INVALID_HANDLE_VALUE) CloseHandle(hErr);
    return code;
}

// Windows programs end their console lines with CR LF (the C runtime's text
// mode); the tests compare the lines themselves.
std::string consoleText(std::string s) {
    std::string t;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) t += s[i];
    return t;
}
#else
int spawnAndWait(const std::string& program, const std::vector<std::string>& args,
                 const fs::path& out, const fs::path& err, bool mergeErr) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (mergeErr)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    else
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string consoleText(std::string s) { return s; }
#endif

}  // namespace

ProcessRun runProgram(const std::string& program, const std::vector<std::string>& args,
                      bool mergeErr) {
    ScratchDir scratch;
    const fs::path out = scratch.path() / "out", err = scratch.path() / "err";
    ProcessRun r;
    r.code = spawnAndWait(program, args, out, err, mergeErr);
    if (fs::exists(out)) r.out = consoleText(readFile(out));
    if (!mergeErr && fs::exists(err)) r.err = consoleText(readFile(err));
    return r;
}

}  // namespace nuvtest
