// Reader of the standalone configuration file: its first whitespace-delimited
// word names the game library in the mod's dlls folder.
#pragma once

#include <stddef.h>
#include <stdio.h>

enum ProxyConfigResult {
  kConfigWord = 0,     // word stored
  kConfigEmpty = 1,    // the file holds no word
  kConfigTooLong = 2,  // the word does not fit the buffer; nothing stored
};

// Reads the first word of the file into word (size bytes, always terminated).
ProxyConfigResult ProxyConfig_ReadWord(FILE* file, char* word, size_t size);
