// Player movement records: playermove_t and what it holds.
#pragma once

#include "hl/constants.h"
#include "hl/entity.h"
#include "hl/types.h"

// An entity as the movement code sees it.
struct physent_s {
    char name[32];
    int player;
    vec3_t origin;
    struct model_s* model;
    struct model_s* studiomodel;
    vec3_t mins;
    vec3_t maxs;
    int info;  // edict / client entity index
    vec3_t angles;
    int solid;
    int skin;
    int rendermode;
    float frame;
    int sequence;
    byte controller[4];
    byte blending[2];
    int movetype;
    int takedamage;
    int blooddecal;
    int team;
    int classnumber;
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

// A plane of a movement trace.
struct pmplane_t {
    vec3_t normal;
    float dist;
};

// Result of a movement trace.
struct pmtrace_s {
    qboolean allsolid;
    qboolean startsolid;
    qboolean inopen;
    qboolean inwater;
    float fraction;
    vec3_t endpos;
    pmplane_t plane;
    int ent;  // physent index (int, not a pointer)
    vec3_t deltavelocity;
    int hitgroup;
};

// Server movement settings (playermove_t::movevars).
struct movevars_s {
    float gravity;
    float stopspeed;
    float maxspeed;
    float spectatormaxspeed;
    float accelerate;
    float airaccelerate;
    float wateraccelerate;
    float friction;
    float edgefriction;
    float waterfriction;
    float entgravity;
    float bounce;
    float stepsize;
    float maxvelocity;
    float zmax;
    float waveHeight;
    qboolean footsteps;
    char skyName[32];
    float rollangle;
    float rollspeed;
    float skycolor_r;
    float skycolor_g;
    float skycolor_b;
    float skyvec_x;
    float skyvec_y;
    float skyvec_z;
};

// The movement record the engine hands to DLL_FUNCTIONS::pfnPM_Move. The
// function members are filled by the engine.
struct playermove_s {
    int player_index;
    qboolean server;
    qboolean multiplayer;
    float time;
    float frametime;
    vec3_t forward;
    vec3_t right;
    vec3_t up;
    vec3_t origin;
    vec3_t angles;
    vec3_t oldangles;
    vec3_t velocity;
    vec3_t movedir;
    vec3_t basevelocity;
    vec3_t view_ofs;
    float flDuckTime;
    qboolean bInDuck;
    int flTimeStepSound;
    int iStepLeft;
    float flFallVelocity;
    vec3_t punchangle;
    float flSwimTime;
    float flNextPrimaryAttack;
    int effects;
    int flags;
    int usehull;  // PM hull: 0 standing, 1 ducked, 2 point
    float gravity;
    float friction;
    int oldbuttons;
    float waterjumptime;
    qboolean dead;
    int deadflag;
    int spectator;
    int movetype;
    int onground;  // -1 = airborne, else physent index
    int waterlevel;
    int watertype;
    int oldwaterlevel;
    char sztexturename[256];
    char chtexturetype;
    float maxspeed;
    float clientmaxspeed;
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
    int numphysent;
    physent_t physents[MAX_PHYSENTS];
    int nummoveent;
    physent_t moveents[MAX_MOVEENTS];
    int numvisent;
    physent_t visents[MAX_PHYSENTS];
    usercmd_t cmd;
    int numtouch;
    pmtrace_t touchindex[MAX_PHYSENTS];
    char physinfo[MAX_PHYSINFO_STRING];
    struct movevars_s* movevars;
    vec3_t player_mins[4];  // by movement hull (usehull)
    vec3_t player_maxs[4];  // by movement hull (usehull)
    const char* (*PM_Info_ValueForKey)(const char* s, const char* key);
    void (*PM_Particle)(float* origin, int color, float life, int zpos, int zvel);
    int (*PM_TestPlayerPosition)(float* pos, pmtrace_t* ptrace);
    void (*Con_NPrintf)(int idx, char* fmt, ...);
    void (*Con_DPrintf)(char* fmt, ...);
    void (*Con_Printf)(char* fmt, ...);
    double (*Sys_FloatTime)();
    void (*PM_StuckTouch)(int hitent, pmtrace_t* ptraceresult);
    int (*PM_PointContents)(float* p, int* truecontents);
    int (*PM_TruePointContents)(float* p);
    int (*PM_HullPointContents)(struct hull_s* hull, int num, float* p);
    pmtrace_t (*PM_PlayerTrace)(float* start, float* end, int traceFlags, int ignore_pe);
    struct pmtrace_s* (*PM_TraceLine)(float* start, float* end, int flags, int usehulll,
                                      int ignore_pe);
    long (*RandomLong)(long lLow, long lHigh);
    float (*RandomFloat)(float flLow, float flHigh);
    int (*PM_GetModelType)(struct model_s* mod);
    void (*PM_GetModelBounds)(struct model_s* mod, float* mins, float* maxs);
    void* (*PM_HullForBsp)(physent_t* pe, float* offset);
    float (*PM_TraceModel)(physent_t* pEnt, float* start, float* end, trace_t* trace);
    int (*COM_FileSize)(char* filename);
    byte* (*COM_LoadFile)(char* path, int usehunk, int* pLength);
    void (*COM_FreeFile)(void* buffer);
    char* (*memfgets)(byte* pMemFile, int fileSize, int* pFilePos, char* pBuffer, int bufferSize);
    qboolean runfuncs;
    void (*PM_PlaySound)(int channel, const char* sample, float volume, float attenuation,
                         int fFlags, int pitch);
    const char* (*PM_TraceTexture)(int ground, float* vstart, float* vend);
    void (*PM_PlaybackEventFull)(int flags, int clientindex, unsigned short eventindex, float delay,
                                 float* origin, float* angles, float fparam1, float fparam2,
                                 int iparam1, int iparam2, int bparam1, int bparam2);
    pmtrace_t (*PM_PlayerTraceEx)(float* start, float* end, int traceFlags,
                                  int (*pfnIgnore)(physent_t* pe));
    int (*PM_TestPlayerPositionEx)(float* pos, pmtrace_t* ptrace, int (*pfnIgnore)(physent_t* pe));
    struct pmtrace_s* (*PM_TraceLineEx)(float* start, float* end, int flags, int usehulll,
                                        int (*pfnIgnore)(physent_t* pe));
};
