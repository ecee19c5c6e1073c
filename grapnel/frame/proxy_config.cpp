#include "proxy_config.h"

#include <ctype.h>

ProxyConfigResult ProxyConfig_ReadWord(FILE* file, char* word, size_t size) {
  if (size == 0) return kConfigTooLong;
  word[0] = '\0';
  int c = fgetc(file);
  while (c != EOF && isspace(c)) c = fgetc(file);
  if (c == EOF) return kConfigEmpty;
  size_t n = 0;
  while (c != EOF && !isspace(c)) {
    if (n + 1 >= size) {
      word[0] = '\0';
      return kConfigTooLong;
    }
    word[n++] = static_cast<char>(c);
    c = fgetc(file);
  }
  word[n] = '\0';
  return kConfigWord;
}
