// Stand-in for the Metamod library a server has loaded: like Metamod it
// exports one link function per entity class of the game, and the utility
// table it hands to plugins holds functions of its own (its loggers pass the
// lines on to the simulated server's driver).
#include <stdarg.h>
#include <stdio.h>

#include "metamod/metamod.h"

#define STANDIN_CLASS(name) \
  C_DLLEXPORT void name(entvars_t*) {}
STANDIN_CLASS(worldspawn)
STANDIN_CLASS(info_target)
STANDIN_CLASS(info_player_start)
STANDIN_CLASS(info_player_deathmatch)
STANDIN_CLASS(func_wall)
STANDIN_CLASS(func_door)
STANDIN_CLASS(func_breakable)
STANDIN_CLASS(env_sprite)
STANDIN_CLASS(light)
#undef STANDIN_CLASS

namespace {

const mutil_funcs_t* g_driver = nullptr;
mutil_funcs_t g_table;

#define STANDIN_LOGGER(fn, slot)                       \
  void fn(plid_t plid, const char* fmt, ...) {           \
    char text[1024];                                     \
    va_list ap;                                          \
    va_start(ap, fmt);                                   \
    vsnprintf(text, sizeof text, fmt, ap);               \
    va_end(ap);                                          \
    if (g_driver->slot) g_driver->slot(plid, "%s", text); \
  }
STANDIN_LOGGER(logConsole, pfnLogConsole)
STANDIN_LOGGER(logMessage, pfnLogMessage)
STANDIN_LOGGER(logError, pfnLogError)
STANDIN_LOGGER(logDeveloper, pfnLogDeveloper)
#undef STANDIN_LOGGER

}  // namespace

// The utility table for Meta_Query: the driver's, with the stand-in's loggers.
C_DLLEXPORT mutil_funcs_t* MetamodStandin_UtilFuncs(const mutil_funcs_t* driver) {
  g_driver = driver;
  g_table = *driver;
  g_table.pfnLogConsole = logConsole;
  g_table.pfnLogMessage = logMessage;
  g_table.pfnLogError = logError;
  g_table.pfnLogDeveloper = logDeveloper;
  return &g_table;
}
