// The listen-server host's entity editor: "say ent <word> [text]".
#pragma once

#include "hl/hl.h"

// Runs an editor command of the sender's current client command. Always
// answers false: the "say" goes on to the game and shows as chat.
bool EntityEditorCommand(edict_t* sender);
