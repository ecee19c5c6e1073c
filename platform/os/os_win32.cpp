// The OS seam on Windows: LoadLibraryA and friends, the current directory,
// ShellExecuteA.
#include <stdio.h>
#include <string.h>
#include <windows.h>

// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include "os/os.h"

namespace os {
namespace {

char g_lastError[512];
char g_loadError[512];

void setError(const char* text) {
    if (!text || !*text) text = "unknown error";
    size_t n = strlen(text);
    if (n >= sizeof g_lastError) n = sizeof g_lastError - 1;
    memcpy(g_lastError, text, n);
    g_lastError[n] = '\0';
}

// The system's text for an error code, without the trailing line break,
// followed by what the failed call was about (a path or a symbol name).
void setSystemError(DWORD code, const char* subject = nullptr) {
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, g_lastError, sizeof g_lastError, nullptr);
    if (n == 0) {
        setError("unknown error");
        return;
    }
    while (n > 0 && (g_lastError[n - 1] == '\r' || g_lastError[n - 1] == '\n' ||
                     g_lastError[n - 1] == ' ' || g_lastError[n - 1] == '.'))
        g_lastError[--n] = '\0';
    if (subject && *subject) {
        size_t room = sizeof g_lastError - n;
        int written = snprintf(g_lastError + n, room, ": %s", subject);
        if (written < 0) g_lastError[n] = '\0';
    }
}

// The loader's text of a failed load: the system message for the code, its
// inserts (%1, as in "%1 is not a valid Win32 application") naming the path.
void keepLoadError(DWORD code, const char* path) {
    DWORD_PTR inserts[9];
    for (DWORD_PTR& insert : inserts) insert = reinterpret_cast<DWORD_PTR>(path);
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code, 0,
                             g_loadError, sizeof g_loadError, reinterpret_cast<va_list*>(inserts));
    if (n == 0 || n >= sizeof g_loadError) {
        snprintf(g_loadError, sizeof g_loadError, "system error %lu", static_cast<unsigned long>(code));
        return;
    }
    while (n > 0 && (g_loadError[n - 1] == '\r' || g_loadError[n - 1] == '\n' || g_loadError[n - 1] == ' ' ||
                     g_loadError[n - 1] == '.'))
        g_loadError[--n] = '\0';
}

}  // namespace

Library loadLibrary(const char* path) {
    if (!path || !*path) {
        setError("no library path given");
        memcpy(g_loadError, g_lastError, sizeof g_loadError);
        return nullptr;
    }
    HMODULE module = LoadLibraryA(path);
    if (!module) {
        DWORD code = GetLastError();
        setSystemError(code, path);
        keepLoadError(code, path);
    }
    return reinterpret_cast<Library>(module);
}

const char* lastLoadError() {
    return g_loadError;
}

Library libraryAt(const void* address) {
    if (!address) {
        setError("no address given");
        return nullptr;
    }
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module)) {
        setSystemError(GetLastError());
        return nullptr;
    }
    if (module == GetModuleHandleA(nullptr)) {
        setError("the address lies in the program itself");
        return nullptr;
    }
    return reinterpret_cast<Library>(module);
}

Library findLoadedLibrary(const char* fileName) {
    if (!fileName || !*fileName) {
        setError("no library name given");
        return nullptr;
    }
    HMODULE module = GetModuleHandleA(fileName);
    if (!module) setSystemError(GetLastError(), fileName);
    return reinterpret_cast<Library>(module);
}

void* findSymbol(Library lib, const char* name) {
    if (!lib || !name || !*name) {
        setError("no library or symbol name given");
        return nullptr;
    }
    FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(lib), name);
    if (!address) {
        setSystemError(GetLastError(), name);
        return nullptr;
    }
    void* result;
    static_assert(sizeof result == sizeof address);
    memcpy(&result, &address, sizeof result);
    return result;
}

void freeLibrary(Library lib) {
    if (lib && !FreeLibrary(reinterpret_cast<HMODULE>(lib))) setSystemError(GetLastError());
}

const char* lastError() {
    return g_lastError;
}

char pathSeparator() {
    return '\\';
}

bool currentDirectory(char* out, size_t size) {
    if (!out || size == 0) return false;
    DWORD capacity = size > 0x7fffffff ? 0x7fffffff : static_cast<DWORD>(size);
    DWORD n = GetCurrentDirectoryA(capacity, out);
    if (n == 0 || n >= capacity) {
        if (n == 0) {
            setSystemError(GetLastError());
        } else {
            setError("current directory does not fit the buffer");
        }
        out[0] = '\0';
        return false;
    }
    return true;
}

bool openWebPage(const char* url) {
    if (!url || !*url) {
        setError("not a web address");
        return false;
    }
    HINSTANCE result = ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        setError("the web page could not be opened");
        return false;
    }
    return true;
}

}  // namespace os
