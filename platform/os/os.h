// The one seam to the operating system: libraries, paths, the working folder
// and the web browser. Plain C-style calls, usable from the plugins, which
// carry no C++ runtime. All strings are bounded by the caller's buffers.
#pragma once

#include <stddef.h>

namespace os {

using Library = void*;

// Loads a shared library by path; null on failure (see lastError and
// lastLoadError).
Library loadLibrary(const char* path);
// The loader's own text for the last failed loadLibrary ("" when none), without
// the path asked for: dlerror() on POSIX, the system message of GetLastError()
// on Windows. Later calls of the other functions leave it as it is.
const char* lastLoadError();
// A library the process already has loaded, found by its file name
// (for example "metamod.dll"), without loading it; null when absent. The
// handle is borrowed: do not pass it to freeLibrary.
Library findLoadedLibrary(const char* fileName);
// The loaded library that holds the address (of a function or of data), found
// without loading anything; null when the address lies in the program itself
// or in no loaded file. The handle is borrowed, as with findLoadedLibrary.
Library libraryAt(const void* address);
// Address of an exported symbol, or null.
void* findSymbol(Library lib, const char* name);
void freeLibrary(Library lib);
// The system's text for the last failed call of this seam ("" when none).
// A later successful call leaves it as it is.
const char* lastError();

// The platform's folder separator: '\\' on Windows, '/' elsewhere.
char pathSeparator();
// Writes a + separator + b into out (size bytes, always terminated). No
// separator is added when a is empty or already ends with one, or b is empty.
// Returns false when the result had to be cut (out then holds what fit).
bool joinPath(char* out, size_t size, const char* a, const char* b);
// Rewrites every '\\' and '/' of path into the platform's separator.
void toNativeSeparators(char* path);
// The process's current folder; false when it does not fit or is unknown.
bool currentDirectory(char* out, size_t size);

// Asks the desktop to open a web address in the default browser; false when
// the request could not be handed over (see lastError).
bool openWebPage(const char* url);

}  // namespace os
