// The words of a "say" command as the editor reads them.
#pragma once

enum { CHAT_MAX_ARGS = 4, CHAT_MAX_ARG = 255 };

struct ChatArgs {
  char arg[CHAT_MAX_ARGS][CHAT_MAX_ARG + 1];
  int count;  // the command's argument count
};

// Copies text into one argument, cut to CHAT_MAX_ARG characters.
void ChatArgs_Set(ChatArgs* a, int index, const char* text);

// Chat input arrives as "say" plus one text: splits that text (argument 1)
// into up to three words with the tokenizer, which become arguments 1 to 3
// (count 2 to 4; further words are ignored). Other counts are left alone.
void ChatArgs_Split(ChatArgs* a);
