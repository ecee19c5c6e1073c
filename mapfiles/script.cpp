#include "script.h"

#include <stdio.h>
#include <string.h>

void Script_Begin(ScriptParser* p, const char* text, size_t length, ScriptErrorFn error,
                  void* errorContext) {
  p->start = text;
  p->pos = text;
  p->end = text + length;
  p->line = 1;
  p->token[0] = '\0';
  p->failed = false;
  p->error = error;
  p->errorContext = errorContext;
}

void Script_ErrorAt(ScriptParser* p, ScriptProblem problem, int line, const char* message) {
  if (p->error) p->error(p->errorContext, problem, line, message);
}

void Script_Error(ScriptParser* p, ScriptProblem problem, const char* message) {
  Script_ErrorAt(p, problem, p->line, message);
}

// A failed read: the reporter hears of it with the line in the text.
static bool lineError(ScriptParser* p, ScriptProblem problem, int line, const char* format) {
  p->failed = true;
  if (p->error) {
    char text[64];
    snprintf(text, sizeof text, format, line);
    Script_ErrorAt(p, problem, line, text);
  }
  return false;
}

static bool incomplete(ScriptParser* p) {
  return lineError(p, SCRIPT_INCOMPLETE_LINE, p->line, "Line %i is incomplete\n");
}

// True when a comment starts at the read position.
static bool atComment(const ScriptParser* p) {
  char c = *p->pos;
  if (c == ';' || c == '#') return true;
  return c == '/' && p->pos + 1 < p->end && p->pos[1] == '/';
}

bool Script_GetToken(ScriptParser* p, bool crossLine) {
  p->failed = false;
  // Skip whitespace and comments up to the token.
  for (;;) {
    while (p->pos < p->end && (unsigned char)*p->pos <= 32) {
      if (*p->pos == '\n') {
        if (!crossLine) return incomplete(p);
        p->line++;
      }
      p->pos++;
    }
    if (p->pos >= p->end) {
      if (!crossLine) return incomplete(p);
      return false;
    }
    if (!atComment(p)) break;
    if (!crossLine) return incomplete(p);
    while (p->pos < p->end && *p->pos != '\n') p->pos++;
  }

  // Build the token aside, so that a failed read leaves the last one intact.
  char text[SCRIPT_MAX_TOKEN + 1];
  size_t n = 0;
  bool tooLarge = false;
  const int startLine = p->line;
  if (*p->pos == '"') {
    p->pos++;
    while (p->pos < p->end && *p->pos != '"') {
      if (*p->pos == '\n') p->line++;
      if (n < SCRIPT_MAX_TOKEN) text[n++] = *p->pos; else tooLarge = true;
      p->pos++;
    }
    if (p->pos < p->end)
      p->pos++;  // the closing quote
    else
      Script_ErrorAt(p, SCRIPT_OPEN_QUOTE, startLine, "Quote not closed");
  } else {
    while (p->pos < p->end && (unsigned char)*p->pos > 32 && *p->pos != ';') {
      if (n < SCRIPT_MAX_TOKEN) text[n++] = *p->pos; else tooLarge = true;
      p->pos++;
    }
  }
  if (tooLarge) return lineError(p, SCRIPT_TOKEN_TOO_LARGE, startLine, "Token too large on line %i\n");
  memcpy(p->token, text, n);
  p->token[n] = '\0';
  return true;
}
