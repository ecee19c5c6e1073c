// Tokenizer shared by the map entity files and the editor's chat commands.
// Reads a memory block in place (nothing is copied; the block must outlive
// the parser). Tokens are whitespace-separated words or double-quoted texts;
// ";", "#" and "//" at the start of a token begin a comment to the end of the
// line.
#pragma once

#include <stddef.h>

enum { SCRIPT_MAX_TOKEN = 511 };

// What a reader skipped or refused. The plugin passes no reporter and reads
// on silently; the installation checker turns each into a line of its report.
enum ScriptProblem {
  SCRIPT_INCOMPLETE_LINE,   // the token was required on this line (a value after its key)
  SCRIPT_TOKEN_TOO_LARGE,   // a token of more than SCRIPT_MAX_TOKEN characters
  SCRIPT_OPEN_QUOTE,        // a quote never closed: the token runs to the end of the text
  ENT_NO_OPEN_BRACE,        // addition file: a word where a block should start
  ENT_TABLE_FULL,           // addition file: a block beyond MAX_MAP_ENTITIES
  ENT_NO_CLOSING_BRACE,     // addition file: the text ends inside a block
  ENT_KEY_TOO_LONG,         // addition file: a key longer than MAX_ENTITY_KEY
  ENT_NO_CLASSNAME,         // addition file: a block without "classname"
  REMOVAL_TOO_MANY_NAMES,   // removal file: a name beyond MAX_REMOVAL_NAMES
  REMOVAL_WORLDSPAWN,       // removal file: "worldspawn", which is never removed
};

// Receives a problem, the line it concerns (from 1) and a short text.
typedef void (*ScriptErrorFn)(void* context, ScriptProblem problem, int line, const char* message);

struct ScriptParser {
  const char* start;
  const char* pos;
  const char* end;
  int line;                            // current line, from 1
  char token[SCRIPT_MAX_TOKEN + 1];    // last token read; kept on failure
  bool failed;                         // the last read failed on an error, not at the end
  ScriptErrorFn error;                 // receives problems; may be null
  void* errorContext;                  // handed to error
};

// Starts reading text[0..length). error may be null.
void Script_Begin(ScriptParser* p, const char* text, size_t length, ScriptErrorFn error,
                  void* errorContext);

// Reads the next token into p->token. With crossLine false the token must be
// on the current line: a line end, a comment or the end of the text before it
// is an error. Returns false at the end of the text (an error only when
// crossLine is false) or on an error; p->token then keeps its old text.
bool Script_GetToken(ScriptParser* p, bool crossLine);

// Hands a problem on the current line to the parser's reporter.
void Script_Error(ScriptParser* p, ScriptProblem problem, const char* message);
// The same for a problem that concerns another line.
void Script_ErrorAt(ScriptParser* p, ScriptProblem problem, int line, const char* message);
