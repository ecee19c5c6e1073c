// Feeds arbitrary configuration files to the reader of the game library's
// name, with buffers of several sizes, and checks what it stores.
#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "proxy_config.h"

namespace {

// The first whitespace-delimited word of the text, as the reader sees it
// (a NUL byte is an ordinary character of a file).
std::string FirstWord(const uint8_t* data, size_t size) {
  size_t i = 0;
  while (i < size && isspace(data[i])) ++i;
  size_t start = i;
  while (i < size && !isspace(data[i])) ++i;
  return std::string(reinterpret_cast<const char*>(data) + start, i - start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string expected = FirstWord(data, size);
  const size_t sizes[] = {1, 2, 16, 256};
  for (size_t bufferSize : sizes) {
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;  // fmemopen refuses empty buffers on some systems
    char word[256 + 8];
    memset(word, 'x', sizeof(word));
    ProxyConfigResult result = ProxyConfig_ReadWord(file, word, bufferSize);
    fclose(file);
    if (word[bufferSize] != 'x') abort();  // wrote past the buffer
    switch (result) {
      case kConfigEmpty:
        if (!expected.empty() || word[0] != '\0') abort();
        break;
      case kConfigTooLong:
        if (expected.size() < bufferSize || word[0] != '\0') abort();
        break;
      case kConfigWord:
        if (expected.size() >= bufferSize || memcmp(word, expected.data(), expected.size()) != 0 ||
            word[expected.size()] != '\0')
          abort();
        break;
      default:
        abort();
    }
  }
  return 0;
}
