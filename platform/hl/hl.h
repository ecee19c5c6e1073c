// Engine and game-library interface, declared from the published facts.
//
//   hl/types.h        vec_t, vec3_t (12-byte vector with arithmetic), string_t,
//                     qboolean, byte, CRC32_t, color24, forward declarations
//   hl/constants.h    FL_*, MOVETYPE_*, SOLID_*, DEAD_*, DAMAGE_*, EF_*,
//                     CONTENTS_*, IN_*, MSG_*, SVC_*, TE_*, BEAM_*, CHAN_*,
//                     ATTN_*, PITCH_*, VOL_NORM, HUD_PRINT*, FCVAR_*, limits,
//                     ALERT_TYPE, PRINT_TYPE, FORCE_TYPE, USE_TYPE, hull
//                     numbers and boxes, render modes and effects, versions
//   hl/entity.h       entvars_t, edict_t, globalvars_t, TraceResult,
//                     KeyValueData, cvar_t, hudtextparms_t, clientdata_t,
//                     entity_state_t, weapon_data_t, usercmd_t, resource_t,
//                     customization_t, netadr_t, trace_t, plane_t
//   hl/movement.h     playermove_t, physent_t, pmtrace_t, pmplane_t, movevars_t
//   hl/engine.h       enginefuncs_t (158 slots, version 138)
//   hl/dll.h          DLL_FUNCTIONS (50 slots, version 140), NEW_DLL_FUNCTIONS
//                     (version 1) and the getter typedefs
//   hl/export.h       C_DLLEXPORT, DLLEXPORT, WINAPI
//   hl/layout_checks.h  compile-time checks of the 32-bit x86 layout
//
// Every name is spelled as published. Records are plain data: zero them with
// memset or `= {}`.
#pragma once

#include "hl/constants.h"
#include "hl/dll.h"
#include "hl/engine.h"
#include "hl/entity.h"
#include "hl/export.h"
#include "hl/movement.h"
#include "hl/types.h"
