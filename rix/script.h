// Tokenizer shared by the map entity files and the editor's chat commands.
// Reads a memory block in place (nothing is copied; the block must outlive
// the parser). Tokens are whitespace-separated words or double-quoted texts;
// ";", "#" and "//" at the start of a token begin a comment to the end of the
// line.
#pragma once

#include <stddef.h>

enum { SCRIPT_MAX_TOKEN = 511 };

typedef void (*ScriptErrorFn)(const char* message);

struct ScriptParser {
  const char* start;
  const char* pos;
  const char* end;
  int line;                            // current line, from 1
  char token[SCRIPT_MAX_TOKEN + 1];    // last token read; kept on failure
  ScriptErrorFn error;                 // receives error texts; may be null
};

// Starts reading text[0..length). error may be null.
void Script_Begin(ScriptParser* p, const char* text, size_t length, ScriptErrorFn error);

// Reads the next token into p->token. With crossLine false the token must be
// on the current line: a line end, a comment or the end of the text before it
// is an error. Returns false at the end of the text (an error only when
// crossLine is false) or on an error; p->token then keeps its old text.
bool Script_GetToken(ScriptParser* p, bool crossLine);

// Hands a message to the parser's error reporter.
void Script_Error(ScriptParser* p, const char* message);
