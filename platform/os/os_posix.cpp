// The OS seam on POSIX systems: dlopen and friends, getcwd, xdg-open.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <string.h>
#include <strings.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "os/os.h"

// glibc 2.34 moved the dl* calls into libc under a new symbol version, which
// would keep a library built here from loading on an older server. Bind the
// versions every 32-bit glibc has (found in libdl before 2.34, in libc after).
#if defined(__i386__) && defined(__GLIBC__)
__asm__(".symver dlopen,dlopen@GLIBC_2.1");
__asm__(".symver dlsym,dlsym@GLIBC_2.0");
__asm__(".symver dlclose,dlclose@GLIBC_2.0");
__asm__(".symver dlerror,dlerror@GLIBC_2.0");
__asm__(".symver dladdr,dladdr@GLIBC_2.0");
#endif

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

void setDlError(const char* fallback) {
    const char* text = dlerror();
    setError(text ? text : fallback);
}

// The loader's text of a failed load, without the "<path>: " it starts with
// when the file itself is at fault (the caller knows the path).
void keepLoadError(const char* path) {
    const char* text = g_lastError;
    size_t n = strlen(path);
    if (strncmp(text, path, n) == 0 && text[n] == ':' && text[n + 1] == ' ') text += n + 2;
    size_t len = strlen(text);
    if (len >= sizeof g_loadError) len = sizeof g_loadError - 1;
    memmove(g_loadError, text, len);
    g_loadError[len] = '\0';
}

const char* baseName(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

struct ObjectSearch {
    const char* fileName;
    bool ignoreCase;
    char found[4096];
};

int matchObject(struct dl_phdr_info* info, size_t, void* data) {
    ObjectSearch* search = static_cast<ObjectSearch*>(data);
    if (!info->dlpi_name || !*info->dlpi_name) return 0;
    const char* base = baseName(info->dlpi_name);
    bool same = search->ignoreCase ? strcasecmp(base, search->fileName) == 0
                                   : strcmp(base, search->fileName) == 0;
    if (!same || strlen(info->dlpi_name) >= sizeof search->found) return 0;
    strcpy(search->found, info->dlpi_name);
    return 1;
}

// A handle for an object that is already loaded, without keeping a reference
// of our own: the caller borrows it, as with GetModuleHandle on Windows.
Library borrowLoaded(const char* name) {
    void* handle = dlopen(name, RTLD_NOLOAD | RTLD_LAZY);
    if (handle) dlclose(handle);  // still loaded: whoever loaded it holds it
    return handle;
}

}  // namespace

Library loadLibrary(const char* path) {
    if (!path || !*path) {
        setError("no library path given");
        keepLoadError("");
        return nullptr;
    }
    void* handle = dlopen(path, RTLD_NOW);
    if (!handle) {
        setDlError("cannot load library");
        keepLoadError(path);
    }
    return handle;
}

const char* lastLoadError() {
    return g_loadError;
}

Library findLoadedLibrary(const char* fileName) {
    if (!fileName || !*fileName) {
        setError("no library name given");
        return nullptr;
    }
    if (Library handle = borrowLoaded(fileName)) return handle;
    dlerror();  // a miss above is not this call's error yet
    // Loaded under a path the loader does not search by bare name: look for
    // the file name among the loaded objects, exactly first, then ignoring case.
    ObjectSearch search;
    search.fileName = baseName(fileName);
    search.found[0] = '\0';
    for (int pass = 0; pass < 2; ++pass) {
        search.ignoreCase = pass == 1;
        if (dl_iterate_phdr(matchObject, &search) != 0) {
            if (Library handle = borrowLoaded(search.found)) return handle;
        }
    }
    setError("library is not loaded");
    return nullptr;
}

Library libraryAt(const void* address) {
    Dl_info info;
    if (!address || !dladdr(address, &info) || !info.dli_fname || !*info.dli_fname) {
        setError("the address lies in no loaded library");
        return nullptr;
    }
    void* program = dlopen(nullptr, RTLD_NOLOAD | RTLD_LAZY);
    if (program) dlclose(program);
    Library handle = borrowLoaded(info.dli_fname);
    if (!handle || handle == program) {
        dlerror();
        setError(handle ? "the address lies in the program itself" : "the address lies in no loaded library");
        return nullptr;
    }
    return handle;
}

void* findSymbol(Library lib, const char* name) {
    if (!lib || !name || !*name) {
        setError("no library or symbol name given");
        return nullptr;
    }
    dlerror();
    void* address = dlsym(lib, name);
    if (!address) setDlError("symbol not found");
    return address;
}

void freeLibrary(Library lib) {
    if (lib && dlclose(lib) != 0) setDlError("cannot free library");
}

const char* lastError() {
    return g_lastError;
}

char pathSeparator() {
    return '/';
}

bool currentDirectory(char* out, size_t size) {
    if (!out || size == 0) return false;
    if (!getcwd(out, size)) {
        out[0] = '\0';
        setError(errno == ERANGE ? "current directory does not fit the buffer" : strerror(errno));
        return false;
    }
    return true;
}

bool openWebPage(const char* url) {
    if (!url || !*url || url[0] == '-') {
        setError("not a web address");
        return false;
    }
    // Double fork so that no child is left to reap; a close-on-exec pipe tells
    // whether the opener could be started at all.
    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) {
        setError(strerror(errno));
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        setError(strerror(errno));
        close(status[0]);
        close(status[1]);
        return false;
    }
    if (child == 0) {
        close(status[0]);
        pid_t opener = fork();
        if (opener == 0) {
            char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url), nullptr};
            execvp(argv[0], argv);
            int error = errno;
            ssize_t ignored = write(status[1], &error, sizeof error);
            (void)ignored;
            _exit(127);
        }
        if (opener < 0) {
            int error = errno;
            ssize_t ignored = write(status[1], &error, sizeof error);
            (void)ignored;
        }
        _exit(0);
    }
    close(status[1]);
    int waitStatus = 0;
    while (waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = read(status[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(status[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        setError(strerror(error));
        return false;
    }
    return true;
}

}  // namespace os
