// Entity records and the other data records the engine and game-library
// tables exchange. Field names, types and order are those of the published
// interface; the 32-bit layout is checked in hl/layout_checks.h.
#pragma once

#include "hl/constants.h"
#include "hl/types.h"

// Links an edict into the engine's area lists.
struct link_s {
    struct link_s* prev;
    struct link_s* next;
};

// Entity variables, embedded in every edict.
struct entvars_s {
    string_t classname;
    string_t globalname;
    vec3_t origin;
    vec3_t oldorigin;
    vec3_t velocity;
    vec3_t basevelocity;
    vec3_t clbasevelocity;
    vec3_t movedir;
    vec3_t angles;
    vec3_t avelocity;
    vec3_t punchangle;
    vec3_t v_angle;
    vec3_t endpos;
    vec3_t startpos;
    float impacttime;
    float starttime;
    int fixangle;
    float idealpitch;
    float pitch_speed;
    float ideal_yaw;
    float yaw_speed;
    int modelindex;
    string_t model;
    int viewmodel;
    int weaponmodel;
    vec3_t absmin;
    vec3_t absmax;
    vec3_t mins;
    vec3_t maxs;
    vec3_t size;
    float ltime;
    float nextthink;
    int movetype;
    int solid;
    int skin;
    int body;
    int effects;
    float gravity;
    float friction;
    int light_level;
    int sequence;
    int gaitsequence;
    float frame;
    float animtime;
    float framerate;
    byte controller[4];
    byte blending[2];
    float scale;
    int rendermode;
    float renderamt;
    vec3_t rendercolor;  // r,g,b as floats 0..255
    int renderfx;
    float health;
    float frags;
    int weapons;
    float takedamage;
    int deadflag;
    vec3_t view_ofs;
    int button;  // IN_* bits
    int impulse;
    edict_t* chain;
    edict_t* dmg_inflictor;
    edict_t* enemy;
    edict_t* aiment;
    edict_t* owner;
    edict_t* groundentity;
    int spawnflags;
    int flags;  // FL_* bits
    int colormap;
    int team;
    float max_health;
    float teleport_time;
    float armortype;
    float armorvalue;
    int waterlevel;
    int watertype;
    string_t target;
    string_t targetname;
    string_t netname;
    string_t message;
    float dmg_take;
    float dmg_save;
    float dmg;
    float dmgtime;
    string_t noise;
    string_t noise1;
    string_t noise2;
    string_t noise3;
    float speed;
    float air_finished;
    float pain_finished;
    float radsuit_finished;
    edict_t* pContainingEntity;  // back-pointer to the owning edict
    int playerclass;
    float maxspeed;
    float fov;
    int weaponanim;
    int pushmsec;
    int bInDuck;
    int flTimeStepSound;
    int flSwimTime;
    int flDuckTime;
    int iStepLeft;
    float flFallVelocity;
    int gamestate;
    int oldbuttons;  // IN_* bits
    int groupinfo;
    int iuser1;
    int iuser2;
    int iuser3;
    int iuser4;
    float fuser1;
    float fuser2;
    float fuser3;
    float fuser4;
    vec3_t vuser1;
    vec3_t vuser2;
    vec3_t vuser3;
    vec3_t vuser4;
    edict_t* euser1;
    edict_t* euser2;
    edict_t* euser3;
    edict_t* euser4;
};

// An entity slot of the engine.
struct edict_s {
    qboolean free;
    int serialnumber;
    link_t area;
    int headnode;
    int num_leafs;
    short leafnums[MAX_ENT_LEAFS];
    float freetime;
    void* pvPrivateData;
    entvars_t v;
};

// Engine globals, handed over in GiveFnptrsToDll.
struct globalvars_t {
    float time;
    float frametime;
    float force_retouch;
    string_t mapname;
    string_t startspot;
    float deathmatch;
    float coop;
    float teamplay;
    float serverflags;
    float found_secrets;
    vec3_t v_forward;
    vec3_t v_up;
    vec3_t v_right;
    float trace_allsolid;
    float trace_startsolid;
    float trace_fraction;
    vec3_t trace_endpos;
    vec3_t trace_plane_normal;
    float trace_plane_dist;
    edict_t* trace_ent;
    float trace_inopen;
    float trace_inwater;
    int trace_hitgroup;
    int trace_flags;
    int msg_entity;
    int cdAudioTrack;
    int maxClients;
    int maxEntities;
    const char* pStringBase;  // string_t values are offsets from this base
    void* pSaveData;
    vec3_t vecLandmarkOffset;
};

// Result of the pfnTrace* calls.
struct TraceResult {
    int fAllSolid;
    int fStartSolid;
    int fInOpen;
    int fInWater;
    float flFraction;
    vec3_t vecEndPos;
    float flPlaneDist;
    vec3_t vecPlaneNormal;
    edict_t* pHit;
    int iHitgroup;
};

// One key-value pair of a map entity (DLL_FUNCTIONS::pfnKeyValue).
// The game sets fHandled nonzero when it consumed the pair.
struct KeyValueData_s {
    char* szClassName;
    char* szKeyName;
    char* szValue;
    int32 fHandled;
};

// A console variable. A registered record must live as long as the library:
// the engine links it into its list through next. name and string are const
// here so that literals can fill them (same layout).
struct cvar_s {
    const char* name;
    const char* string;  // the engine replaces it with its own copy
    int flags;
    float value;
    struct cvar_s* next;  // engine-maintained link
};

// Layout of a centred HUD text (passed by value to the Metamod centre-say calls).
struct hudtextparms_s {
    float x;
    float y;
    int effect;
    byte r1;
    byte g1;
    byte b1;
    byte a1;
    byte r2;
    byte g2;
    byte b2;
    byte a2;
    float fadeinTime;
    float fadeoutTime;
    float holdTime;
    float fxTime;
    int channel;
};

// Client data sent to the owning client (pfnUpdateClientData).
struct clientdata_s {
    vec3_t origin;
    vec3_t velocity;
    int viewmodel;
    vec3_t punchangle;
    int flags;
    int waterlevel;
    int watertype;
    vec3_t view_ofs;
    float health;
    int bInDuck;
    int weapons;
    int flTimeStepSound;
    int flDuckTime;
    int flSwimTime;
    int waterjumptime;
    float maxspeed;
    float fov;
    int weaponanim;
    int m_iId;
    int ammo_shells;
    int ammo_nails;
    int ammo_cells;
    int ammo_rockets;
    float m_flNextAttack;
    int tfstate;
    int pushmsec;
    int deadflag;
    char physinfo[MAX_PHYSINFO_STRING];
    int iuser1;
    int iuser2;
    int iuser3;
    int iuser4;
    float fuser1;
    float fuser2;
    float fuser3;
    float fuser4;
    vec3_t vuser1;
    vec3_t vuser2;
    vec3_t vuser3;
    vec3_t vuser4;
};

// Network state of an entity (pfnAddToFullPack, baselines).
struct entity_state_s {
    int entityType;
    int number;
    float msg_time;
    int messagenum;
    vec3_t origin;
    vec3_t angles;
    int modelindex;
    int sequence;
    float frame;
    int colormap;
    short skin;
    short solid;
    int effects;
    float scale;
    byte eflags;
    int rendermode;
    int renderamt;
    color24 rendercolor;
    int renderfx;
    int movetype;
    float animtime;
    float framerate;
    int body;
    byte controller[4];
    byte blending[4];
    vec3_t velocity;
    vec3_t mins;
    vec3_t maxs;
    int aiment;
    int owner;
    float friction;
    float gravity;
    int team;
    int playerclass;
    int health;
    qboolean spectator;
    int weaponmodel;
    int gaitsequence;
    vec3_t basevelocity;
    int usehull;
    int oldbuttons;
    int onground;
    int iStepLeft;
    float flFallVelocity;
    float fov;
    int weaponanim;
    vec3_t startpos;
    vec3_t endpos;
    float impacttime;
    float starttime;
    int iuser1;
    int iuser2;
    int iuser3;
    int iuser4;
    float fuser1;
    float fuser2;
    float fuser3;
    float fuser4;
    vec3_t vuser1;
    vec3_t vuser2;
    vec3_t vuser3;
    vec3_t vuser4;
};

// Client-predicted weapon state (pfnGetWeaponData).
struct weapon_data_s {
    int m_iId;
    int m_iClip;
    float m_flNextPrimaryAttack;
    float m_flNextSecondaryAttack;
    float m_flTimeWeaponIdle;
    int m_fInReload;
    int m_fInSpecialReload;
    float m_flNextReload;
    float m_flPumpTime;
    float m_fReloadTime;
    float m_fAimedDamage;
    float m_fNextAimBonus;
    int m_fInZoom;
    int m_iWeaponState;
    int iuser1;
    int iuser2;
    int iuser3;
    int iuser4;
    float fuser1;
    float fuser2;
    float fuser3;
    float fuser4;
};

// One movement command of a client (pfnCmdStart, playermove_t::cmd).
struct usercmd_s {
    short lerp_msec;
    byte msec;
    vec3_t viewangles;
    float forwardmove;
    float sidemove;
    float upmove;
    byte lightlevel;
    unsigned short buttons;  // IN_* bits
    byte impulse;
    byte weaponselect;
    int impact_index;
    vec3_t impact_position;
};

// A downloadable resource.
struct resource_s {
    char szFileName[MAX_QPATH];
    resourcetype_t type;
    int nIndex;
    int nDownloadSize;
    unsigned char ucFlags;
    unsigned char rgucMD5_hash[16];
    unsigned char playernum;
    unsigned char rguc_reserved[32];
    struct resource_s* pNext;
    struct resource_s* pPrev;
};

// A player customization (pfnPlayerCustomization).
struct customization_s {
    qboolean bInUse;
    resource_t resource;
    qboolean bTranslated;
    int nUserData1;
    int nUserData2;
    void* pInfo;
    void* pBuffer;
    struct customization_s* pNext;
};

// A network address (pfnConnectionlessPacket); port in network byte order.
struct netadr_s {
    netadrtype_t type;
    unsigned char ip[4];
    unsigned char ipx[10];
    unsigned short port;
};

// A plane: normal and distance from the origin.
struct plane_t {
    vec3_t normal;
    float dist;
};

// Result of playermove_t::PM_TraceModel.
struct trace_t {
    qboolean allsolid;
    qboolean startsolid;
    qboolean inopen;
    qboolean inwater;
    float fraction;
    vec3_t endpos;
    plane_t plane;
    edict_t* ent;
    int hitgroup;
};

// Client-side prediction state (not passed to server libraries).
struct local_state_s {
    entity_state_t playerstate;
    clientdata_t client;
    weapon_data_t weapondata[32];
};
typedef struct local_state_s local_state_t;
