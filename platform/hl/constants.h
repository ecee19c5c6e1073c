// Constants and enumerations of the engine and game-library interface.
#pragma once

#include "hl/types.h"

// Interface versions.
constexpr int ENGINE_INTERFACE_VERSION = 138;  // enginefuncs_t

// Player movement: array sizes, trace flags, spectator modes, texture types
constexpr int MAX_PHYSENTS = 600;   // size of physents[], visents[] and touchindex[]
constexpr int MAX_MOVEENTS = 64;    // size of moveents[] (ladders)
constexpr int MAX_CLIP_PLANES = 5;  // clip planes used by the slide-move algorithm
constexpr int PM_NORMAL = 0;        // traceFlags argument of PM_PlayerTrace
constexpr int PM_STUDIO_IGNORE = 1;
constexpr int PM_STUDIO_BOX = 2;
constexpr int PM_GLASS_IGNORE = 4;
constexpr int PM_WORLD_ONLY = 8;
constexpr int PM_TRACELINE_PHYSENTSONLY = 0;  // flags argument of PM_TraceLine
constexpr int PM_TRACELINE_ANYVISIBLE = 1;    // flags argument of PM_TraceLine
constexpr int MAX_PHYSINFO_STRING = 256;
constexpr int OBS_NONE = 0;  // spectator modes, stored in entvars_t.iuser1
constexpr int OBS_CHASE_LOCKED = 1;
constexpr int OBS_CHASE_FREE = 2;
constexpr int OBS_ROAMING = 3;
constexpr int OBS_IN_EYE = 4;
constexpr int OBS_MAP_FREE = 5;
constexpr int OBS_MAP_CHASE = 6;
constexpr int CBTEXTURENAMEMAX = 13;     // only this many chars of a texture name are significant
constexpr char CHAR_TEX_CONCRETE = 'C';  // PM_FindTextureType result codes
constexpr char CHAR_TEX_METAL = 'M';
constexpr char CHAR_TEX_DIRT = 'D';
constexpr char CHAR_TEX_VENT = 'V';
constexpr char CHAR_TEX_GRATE = 'G';
constexpr char CHAR_TEX_TILE = 'T';
constexpr char CHAR_TEX_SLOSH = 'S';
constexpr char CHAR_TEX_WOOD = 'W';
constexpr char CHAR_TEX_COMPUTER = 'P';
constexpr char CHAR_TEX_GLASS = 'Y';
constexpr char CHAR_TEX_FLESH = 'F';
constexpr char CHAR_TEX_SNOW = 'N';

// Entity flags (entvars_t::flags)
constexpr int FL_FLY = 1;
constexpr int FL_SWIM = 2;
constexpr int FL_CONVEYOR = 4;
constexpr int FL_CLIENT = 8;  // player entity
constexpr int FL_INWATER = 0x10;
constexpr int FL_MONSTER = 0x20;
constexpr int FL_GODMODE = 0x40;
constexpr int FL_NOTARGET = 0x80;
constexpr int FL_SKIPLOCALHOST = 0x100;
constexpr int FL_ONGROUND = 0x200;  // standing on ground
constexpr int FL_PARTIALGROUND = 0x400;
constexpr int FL_WATERJUMP = 0x800;
constexpr int FL_FROZEN = 0x1000;
constexpr int FL_FAKECLIENT = 0x2000;  // bot; engine sends it no network data
constexpr int FL_DUCKING = 0x4000;     // fully crouched
constexpr int FL_FLOAT = 0x8000;
constexpr int FL_GRAPHED = 0x10000;
constexpr int FL_IMMUNE_WATER = 0x20000;
constexpr int FL_IMMUNE_SLIME = 0x40000;
constexpr int FL_IMMUNE_LAVA = 0x80000;
constexpr int FL_PROXY = 0x100000;
constexpr int FL_ALWAYSTHINK = 0x200000;
constexpr int FL_BASEVELOCITY = 0x400000;
constexpr int FL_MONSTERCLIP = 0x800000;
constexpr int FL_ONTRAIN = 0x1000000;
constexpr int FL_WORLDBRUSH = 0x2000000;
constexpr int FL_SPECTATOR = 0x4000000;  // spectating client
constexpr int FL_CUSTOMENTITY = 0x20000000;
constexpr int FL_KILLME = 0x40000000;
constexpr int FL_DORMANT = static_cast<int>(0x80000000u);  // not sent to clients

// Trace flags and walk-move modes
constexpr int FTRACE_SIMPLEBOX = 1;  // goes into globalvars_t.trace_flags
constexpr int WALKMOVE_NORMAL = 0;
constexpr int WALKMOVE_WORLDONLY = 1;
constexpr int WALKMOVE_CHECKONLY = 2;

// Movement types (entvars_t::movetype)
constexpr int MOVETYPE_NONE = 0;
constexpr int MOVETYPE_WALK = 3;  // players only
constexpr int MOVETYPE_STEP = 4;
constexpr int MOVETYPE_FLY = 5;
constexpr int MOVETYPE_TOSS = 6;
constexpr int MOVETYPE_PUSH = 7;
constexpr int MOVETYPE_NOCLIP = 8;  // no gravity, no collision
constexpr int MOVETYPE_FLYMISSILE = 9;
constexpr int MOVETYPE_BOUNCE = 10;
constexpr int MOVETYPE_BOUNCEMISSILE = 11;
constexpr int MOVETYPE_FOLLOW = 12;  // follows pev->aiment
constexpr int MOVETYPE_PUSHSTEP = 13;

// Solidity (entvars_t::solid)
constexpr int SOLID_NOT = 0;
constexpr int SOLID_TRIGGER = 1;
constexpr int SOLID_BBOX = 2;
constexpr int SOLID_SLIDEBOX = 3;
constexpr int SOLID_BSP = 4;

// Death states (entvars_t::deadflag)
constexpr int DEAD_NO = 0;
constexpr int DEAD_DYING = 1;
constexpr int DEAD_DEAD = 2;
constexpr int DEAD_RESPAWNABLE = 3;
constexpr int DEAD_DISCARDBODY = 4;

// Damage modes (entvars_t::takedamage, stored as a float)
constexpr int DAMAGE_NO = 0;  // values for entvars_t.takedamage (stored as float)
constexpr int DAMAGE_YES = 1;
constexpr int DAMAGE_AIM = 2;

// Effects (entvars_t::effects) and entity_state_t::eflags
constexpr int EF_BRIGHTFIELD = 1;
constexpr int EF_MUZZLEFLASH = 2;
constexpr int EF_BRIGHTLIGHT = 4;
constexpr int EF_DIMLIGHT = 8;
constexpr int EF_INVLIGHT = 0x10;
constexpr int EF_NOINTERP = 0x20;
constexpr int EF_LIGHT = 0x40;
constexpr int EF_NODRAW = 0x80;  // entity not drawn
constexpr int EF_NIGHTVISION = 0x100;
constexpr int EF_SNIPERLASER = 0x200;
constexpr int EF_FIBERCAMERA = 0x400;
constexpr int EFLAG_SLERP = 1;  // value for entity_state_t.eflags
constexpr int EFLAG_FLESH_SOUND = 2;

// Point contents (pfnPointContents, entvars_t::watertype)
constexpr int CONTENTS_EMPTY = -1;
constexpr int CONTENTS_SOLID = -2;
constexpr int CONTENTS_WATER = -3;
constexpr int CONTENTS_SLIME = -4;
constexpr int CONTENTS_LAVA = -5;
constexpr int CONTENTS_SKY = -6;
constexpr int CONTENTS_LADDER =
    -16;  // ladder volume; the movement code treats ladder brushes via playermove_t.moveents
constexpr int CONTENT_FLYFIELD = -17;
constexpr int CONTENT_GRAVITY_FLYFIELD = -18;
constexpr int CONTENT_FOG = -19;
constexpr int CONTENT_EMPTY = -1;
constexpr int CONTENT_SOLID = -2;
constexpr int CONTENT_WATER = -3;
constexpr int CONTENT_SLIME = -4;
constexpr int CONTENT_LAVA = -5;
constexpr int CONTENT_SKY = -6;

// Buttons (entvars_t::button / oldbuttons, usercmd_t::buttons)
constexpr int IN_ATTACK = 1;
constexpr int IN_JUMP = 2;
constexpr int IN_DUCK = 4;
constexpr int IN_FORWARD = 8;
constexpr int IN_BACK = 0x10;
constexpr int IN_USE = 0x20;
constexpr int IN_CANCEL = 0x40;
constexpr int IN_LEFT = 0x80;
constexpr int IN_RIGHT = 0x100;
constexpr int IN_MOVELEFT = 0x200;
constexpr int IN_MOVERIGHT = 0x400;
constexpr int IN_ATTACK2 = 0x800;
constexpr int IN_RUN = 0x1000;
constexpr int IN_RELOAD = 0x2000;
constexpr int IN_ALT1 = 0x4000;
constexpr int IN_SCORE = 0x8000;  // scoreboard key (client side)

// Message destinations (first argument of pfnMessageBegin)
constexpr int MSG_BROADCAST = 0;       // unreliable, all clients
constexpr int MSG_ONE = 1;             // reliable, one client (edict argument)
constexpr int MSG_ALL = 2;             // reliable, all clients
constexpr int MSG_INIT = 3;            // signon/init buffer
constexpr int MSG_PVS = 4;             // clients whose PVS contains the origin argument
constexpr int MSG_PAS = 5;             // clients whose PAS contains the origin argument
constexpr int MSG_PVS_R = 6;           // reliable PVS
constexpr int MSG_PAS_R = 7;           // reliable PAS
constexpr int MSG_ONE_UNRELIABLE = 8;  // one client, unreliable datagram
constexpr int MSG_SPEC = 9;            // all spectator proxies

// Message types (second argument of pfnMessageBegin)
constexpr int SVC_TEMPENTITY = 23;  // msg_type argument of pfnMessageBegin for TE_* messages
constexpr int SVC_INTERMISSION = 30;
constexpr int SVC_CDTRACK = 32;
constexpr int SVC_WEAPONANIM = 35;
constexpr int SVC_ROOMTYPE = 37;
constexpr int SVC_DIRECTOR = 51;
constexpr int SVC_HLTV = 50;

// Temporary-entity codes, the first byte of an SVC_TEMPENTITY message
constexpr int TE_BEAMPOINTS = 0;
constexpr int TE_BEAMENTPOINT = 1;
constexpr int TE_GUNSHOT = 2;
constexpr int TE_EXPLOSION = 3;
constexpr int TE_TAREXPLOSION = 4;
constexpr int TE_SMOKE = 5;
constexpr int TE_TRACER = 6;
constexpr int TE_LIGHTNING = 7;
constexpr int TE_BEAMENTS = 8;
constexpr int TE_SPARKS = 9;
constexpr int TE_LAVASPLASH = 10;
constexpr int TE_TELEPORT = 11;
constexpr int TE_EXPLOSION2 = 12;
constexpr int TE_BSPDECAL = 13;
constexpr int TE_IMPLOSION = 14;
constexpr int TE_SPRITETRAIL = 15;
constexpr int TE_BEAM = 16;
constexpr int TE_SPRITE = 17;
constexpr int TE_BEAMSPRITE = 18;
constexpr int TE_BEAMTORUS = 19;
constexpr int TE_BEAMDISK = 20;
constexpr int TE_BEAMCYLINDER = 21;
constexpr int TE_BEAMFOLLOW = 22;
constexpr int TE_GLOWSPRITE = 23;
constexpr int TE_BEAMRING = 24;
constexpr int TE_STREAK_SPLASH = 25;
constexpr int TE_BEAMHOSE = 26;
constexpr int TE_DLIGHT = 27;
constexpr int TE_ELIGHT = 28;
constexpr int TE_TEXTMESSAGE = 29;
constexpr int TE_LINE = 30;
constexpr int TE_BOX = 31;
constexpr int TE_KILLBEAM = 99;
constexpr int TE_LARGEFUNNEL = 100;
constexpr int TE_BLOODSTREAM = 101;
constexpr int TE_SHOWLINE = 102;
constexpr int TE_BLOOD = 103;
constexpr int TE_DECAL = 104;
constexpr int TE_FIZZ = 105;
constexpr int TE_MODEL = 106;
constexpr int TE_EXPLODEMODEL = 107;
constexpr int TE_BREAKMODEL = 108;
constexpr int TE_GUNSHOTDECAL = 109;
constexpr int TE_SPRITE_SPRAY = 110;
constexpr int TE_ARMOR_RICOCHET = 111;
constexpr int TE_PLAYERDECAL = 112;
constexpr int TE_BUBBLES = 113;
constexpr int TE_BUBBLETRAIL = 114;
constexpr int TE_BLOODSPRITE = 115;
constexpr int TE_WORLDDECAL = 116;
constexpr int TE_WORLDDECALHIGH = 117;
constexpr int TE_DECALHIGH = 118;
constexpr int TE_PROJECTILE = 119;
constexpr int TE_SPRAY = 120;
constexpr int TE_PLAYERSPRITES = 121;
constexpr int TE_PARTICLEBURST = 122;
constexpr int TE_FIREFIELD = 123;
constexpr int TE_PLAYERATTACHMENT = 124;
constexpr int TE_KILLPLAYERATTACHMENTS = 125;
constexpr int TE_MULTIGUNSHOT = 126;
constexpr int TE_USERTRACER = 127;

// Break, bounce, explosion and fire-field flags of temporary entities
constexpr int BREAK_TYPEMASK = 0x4F;
constexpr int BREAK_GLASS = 1;
constexpr int BREAK_METAL = 2;
constexpr int BREAK_FLESH = 4;
constexpr int BREAK_WOOD = 8;
constexpr int BREAK_SMOKE = 0x10;
constexpr int BREAK_TRANS = 0x20;
constexpr int BREAK_CONCRETE = 0x40;
constexpr int BREAK_2 = 0x80;
constexpr int BOUNCE_GLASS = 1;
constexpr int BOUNCE_METAL = 2;
constexpr int BOUNCE_FLESH = 4;
constexpr int BOUNCE_WOOD = 8;
constexpr int BOUNCE_SHRAP = 0x10;
constexpr int BOUNCE_SHELL = 0x20;
constexpr int BOUNCE_CONCRETE = 0x40;
constexpr int BOUNCE_SHOTSHELL = 0x80;
constexpr int TE_BOUNCE_NULL = 0;
constexpr int TE_BOUNCE_SHELL = 1;
constexpr int TE_BOUNCE_SHOTSHELL = 2;
constexpr int TE_EXPLFLAG_NONE = 0;
constexpr int TE_EXPLFLAG_NOADDITIVE = 1;
constexpr int TE_EXPLFLAG_NODLIGHTS = 2;
constexpr int TE_EXPLFLAG_NOSOUND = 4;
constexpr int TE_EXPLFLAG_NOPARTICLES = 8;
constexpr int TEFIRE_FLAG_ALLFLOAT = 1;
constexpr int TEFIRE_FLAG_SOMEFLOAT = 2;
constexpr int TEFIRE_FLAG_LOOP = 4;
constexpr int TEFIRE_FLAG_ALPHA = 8;
constexpr int TEFIRE_FLAG_PLANAR = 0x10;
constexpr int TEFIRE_FLAG_ADDITIVE = 0x20;

// Beam types (low bits of the beam type byte)
constexpr int BEAM_POINTS = 0;
constexpr int BEAM_ENTPOINT = 1;
constexpr int BEAM_ENTS = 2;
constexpr int BEAM_HOSE = 3;

// Beam flags (high bits of the beam type byte)
constexpr int BEAM_FSINE = 0x10;
constexpr int BEAM_FSOLID = 0x20;
constexpr int BEAM_FSHADEIN = 0x40;
constexpr int BEAM_FSHADEOUT = 0x80;

// Beam spawn flags
constexpr int SF_BEAM_STARTON = 0x0001;
constexpr int SF_BEAM_TOGGLE = 0x0002;
constexpr int SF_BEAM_RANDOM = 0x0004;
constexpr int SF_BEAM_RING = 0x0008;
constexpr int SF_BEAM_SPARKSTART = 0x0010;
constexpr int SF_BEAM_SPARKEND = 0x0020;
constexpr int SF_BEAM_DECALS = 0x0040;
constexpr int SF_BEAM_SHADEIN = 0x0080;
constexpr int SF_BEAM_SHADEOUT = 0x0100;
constexpr int SF_BEAM_TEMPORARY = 0x8000;

// Sound channels
constexpr int CHAN_AUTO = 0;  // engine picks a free channel
constexpr int CHAN_WEAPON = 1;
constexpr int CHAN_VOICE = 2;
constexpr int CHAN_ITEM = 3;
constexpr int CHAN_BODY = 4;
constexpr int CHAN_STREAM = 5;
constexpr int CHAN_STATIC = 6;             // static-area channel
constexpr int CHAN_NETWORKVOICE_BASE = 7;  // 7..500 reserved for network voice
constexpr int CHAN_NETWORKVOICE_END = 500;
constexpr int CHAN_BOT = 501;

// Attenuation, pitch and volume
constexpr float ATTN_NONE = 0.0f;
constexpr float ATTN_NORM = 0.8f;
constexpr float ATTN_IDLE = 2.0f;
constexpr float ATTN_STATIC = 1.25f;
constexpr int PITCH_NORM = 100;  // pitch range 0..255
constexpr int PITCH_LOW = 95;
constexpr int PITCH_HIGH = 120;
constexpr float VOL_NORM = 1.0f;  // volume 0.0..1.0 (float)

// HUD print destinations of the game's text message
constexpr int HUD_PRINTNOTIFY = 1;
constexpr int HUD_PRINTCONSOLE = 2;
constexpr int HUD_PRINTTALK = 3;
constexpr int HUD_PRINTCENTER = 4;

// Console variable flags (cvar_t::flags)
constexpr int FCVAR_ARCHIVE = 1;
constexpr int FCVAR_USERINFO = 2;
constexpr int FCVAR_SERVER = 4;  // change is announced to players
constexpr int FCVAR_EXTDLL = 8;  // registered by an external (game/plugin) library
constexpr int FCVAR_CLIENTDLL = 0x10;
constexpr int FCVAR_PROTECTED = 0x20;      // value not sent to clients (passwords)
constexpr int FCVAR_SPONLY = 0x40;         // clients on a multiplayer server cannot change it
constexpr int FCVAR_PRINTABLEONLY = 0x80;  // no unprintable characters
constexpr int FCVAR_UNLOGGED = 0x100;      // changes of a SERVER cvar are not logged
constexpr int FCVAR_NOEXTRAWHITEPACE = 0x200;
constexpr int FCVAR_PRIVILEGED = 0x400;
constexpr int FCVAR_FILTERSTUFFTEXT = 0x800;
constexpr int FCVAR_FILTERCHARS = 0x1000;
constexpr int FCVAR_NOBADPATHS = 0x2000;

// Limits, resource flags, entity types, interface versions
constexpr int MAX_ENT_LEAFS = 48;
constexpr int MAX_QPATH = 64;
constexpr int RES_FATALIFMISSING = 1;
constexpr int RES_WASMISSING = 2;
constexpr int RES_CUSTOM = 4;
constexpr int RES_REQUESTED = 8;
constexpr int RES_PRECACHED = 0x10;
constexpr int RES_ALWAYS = 0x20;
constexpr int RES_CHECKFILE = 0x80;
constexpr int FCUST_FROMHPAK = 1;
constexpr int FCUST_WIPEDATA = 2;
constexpr int FCUST_IGNOREINIT = 4;
constexpr int ENTITY_NORMAL = 1;        // entity_state_t.entityType
constexpr int ENTITY_BEAM = 2;          // entity_state_t.entityType
constexpr int INTERFACE_VERSION = 140;  // DLL_FUNCTIONS version (GetEntityAPI / GetEntityAPI2)
constexpr int MAX_LEVEL_CONNECTIONS = 16;
constexpr unsigned int FENTTABLE_PLAYER = 0x80000000u;
constexpr unsigned int FENTTABLE_REMOVED = 0x40000000u;
constexpr unsigned int FENTTABLE_MOVEABLE = 0x20000000u;
constexpr unsigned int FENTTABLE_GLOBAL = 0x10000000u;
constexpr int FTYPEDESC_GLOBAL = 1;
constexpr int NEW_DLL_FUNCTIONS_VERSION = 1;  // NEW_DLL_FUNCTIONS version

// Beam start/end entity: entity index in the low 12 bits, attachment above.
constexpr int BEAMENT_ENTITY(int x) {
    return x & 0xFFF;
}
constexpr int BEAMENT_ATTACHMENT(int x) {
    return (x >> 12) & 0xF;
}

// Render modes (entvars_t::rendermode).
enum {
    kRenderNormal = 0,
    kRenderTransColor = 1,
    kRenderTransTexture = 2,
    kRenderGlow = 3,
    kRenderTransAlpha = 4,
    kRenderTransAdd = 5,
};

// Render effects (entvars_t::renderfx).
enum {
    kRenderFxNone = 0,
    kRenderFxPulseSlow = 1,
    kRenderFxPulseFast = 2,
    kRenderFxPulseSlowWide = 3,
    kRenderFxPulseFastWide = 4,
    kRenderFxFadeSlow = 5,
    kRenderFxFadeFast = 6,
    kRenderFxSolidSlow = 7,
    kRenderFxSolidFast = 8,
    kRenderFxStrobeSlow = 9,
    kRenderFxStrobeFast = 10,
    kRenderFxStrobeFaster = 11,
    kRenderFxFlickerSlow = 12,
    kRenderFxFlickerFast = 13,
    kRenderFxNoDissipation = 14,
    kRenderFxDistort = 15,
    kRenderFxHologram = 16,
    kRenderFxDeadPlayer = 17,
    kRenderFxExplode = 18,
    kRenderFxGlowShell = 19,
    kRenderFxClampMinScale = 20,
    kRenderFxLightMultiplier = 21,
};

// Severity of pfnAlertMessage.
enum ALERT_TYPE : int {
    at_notice = 0,
    at_console = 1,    // like at_notice, always printed to the console
    at_aiconsole = 2,  // printed only when developer level is 2
    at_warning = 3,
    at_error = 4,
    at_logged = 5,  // server console and log (multiplayer)
};

// Where pfnClientPrintf prints.
enum PRINT_TYPE : int {
    print_console = 0,
    print_center = 1,
    print_chat = 2,
};

// How strictly pfnForceUnmodified compares a client's file.
enum FORCE_TYPE : int {
    force_exactfile = 0,
    force_model_samebounds = 1,
    force_model_specifybounds = 2,
    force_model_specifybounds_if_avail = 3,
};

// Kinds of resource_t.
enum resourcetype_t : int {
    t_sound = 0,
    t_skin = 1,
    t_model = 2,
    t_decal = 3,
    t_generic = 4,
    t_eventscript = 5,
    t_world = 6,
};

// Kinds of netadr_t.
enum netadrtype_t : int {
    NA_UNUSED = 0,
    NA_LOOPBACK = 1,
    NA_BROADCAST = 2,
    NA_IP = 3,
    NA_IPX = 4,
    NA_BROADCAST_IPX = 5,
};

// How DLL_FUNCTIONS::pfnUse is meant.
enum USE_TYPE : int {
    USE_OFF = 0,
    USE_ON = 1,
    USE_SET = 2,
    USE_TOGGLE = 3,
};

// Engine hull numbers (hullNumber of pfnTraceHull / pfnTraceModel).
enum hull_enum : int {
    point_hull = 0,
    human_hull = 1,  // standing player
    large_hull = 2,
    head_hull = 3,  // crouched player
};

// fNoMonsters argument of the trace functions.
enum IGNORE_MONSTERS : int {
    dont_ignore_monsters = 0,
    ignore_monsters = 1,
    missile = 2,
};

// Movement-code hull numbers (playermove_t::usehull, index of player_mins/maxs).
constexpr int PM_HULL_STANDING = 0;
constexpr int PM_HULL_DUCKED = 1;
constexpr int PM_HULL_POINT = 2;

// Player boxes and eye offsets relative to the origin (centre of the box).
constexpr vec3_t VEC_HULL_MIN(-16.0f, -16.0f, -36.0f);
constexpr vec3_t VEC_HULL_MAX(16.0f, 16.0f, 36.0f);
constexpr vec3_t VEC_DUCK_HULL_MIN(-16.0f, -16.0f, -18.0f);
constexpr vec3_t VEC_DUCK_HULL_MAX(16.0f, 16.0f, 18.0f);
constexpr vec3_t VEC_VIEW(0.0f, 0.0f, 28.0f);
constexpr vec3_t VEC_DUCK_VIEW(0.0f, 0.0f, 12.0f);
// The same boxes with the origin at the feet.
constexpr vec3_t VEC_HUMAN_HULL_MIN(-16.0f, -16.0f, 0.0f);
constexpr vec3_t VEC_HUMAN_HULL_MAX(16.0f, 16.0f, 72.0f);
constexpr vec3_t VEC_HUMAN_HULL_DUCK(16.0f, 16.0f, 36.0f);
