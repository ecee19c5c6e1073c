// Stand-in for the Metamod library a server has loaded: like Metamod it
// exports one link function per entity class of the game.
#include "hl/hl.h"

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
