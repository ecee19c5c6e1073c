// Control block of the host's test plugin, exported as TestPlugin_Control():
// the host tests choose the result codes of its hooks and read what it saw.
#pragma once

struct TestPluginControl {
  char log[4096];            // entry points and hooks in call order, "|"-separated
  int mresClientCommand;     // result of the pfnClientCommand pre hook
  int mresSpawn;             // result of the pfnSpawn pre hook
  int spawnValue;            // value the pfnSpawn pre hook returns
  int postSpawnOrigRet;      // *orig_ret seen by the pfnSpawn post hook
  int postSpawnSawOrig;      // orig_ret was not null there
  int mresTraceLine;         // result of the engine pfnTraceLine pre hook
  float traceFraction;       // with MRES_SUPERCEDE: the fraction it writes
  int engineAlerts;          // pfnAlertMessage engine hook calls
  char lastAlert[256];       // text of the last one
  int postTraceLines;        // pfnTraceLine post hook calls
  int attachNowSeen;         // the load time Meta_Attach received
  int detachReason;          // the reason Meta_Detach received
  int ownEngineTraces;       // traces the plugin made through its own table
};
