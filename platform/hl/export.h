// Export and calling-convention macros for the library entry points. This is
// the one header outside platform/os that tells Windows from the rest.
//
//   C_DLLEXPORT  extern "C" and exported from the shared library, so the
//                symbol carries its plain name (Meta_Query, GetEntityAPI, ...).
//   DLLEXPORT    exported, C++ linkage kept.
//   WINAPI       __stdcall on Windows (GiveFnptrsToDll), empty elsewhere.
//                On Windows the stdcall name is decorated; the library's .def
//                file exports it undecorated.
//   DEF_EXPORT   exported by the library's .def file on Windows (which gives
//                the export its name: GiveFnptrsToDll without its stdcall
//                decoration, a member routine under the name Windows games
//                use), by default visibility elsewhere. dllexport would add
//                the compiler's own name as a second export.
#pragma once

#ifdef _WIN32
#define DLLEXPORT __declspec(dllexport)
#define DEF_EXPORT
#ifndef WINAPI
#define WINAPI __stdcall
#endif
#else
#define DLLEXPORT __attribute__((visibility("default")))
#define DEF_EXPORT DLLEXPORT
#ifndef WINAPI
#define WINAPI
#endif
#endif

#define C_DLLEXPORT extern "C" DLLEXPORT
