// Reads any bytes as a library file: every offset in them must be checked,
// and what comes out stays within what the readers promise.
#include <stddef.h>
#include <stdint.h>

#include "binary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nuvcheck::BinaryInfo info = nuvcheck::readBinary(data, size);
  if (info.bits != 0 && info.bits != 32 && info.bits != 64) __builtin_trap();
  for (const std::string& name : info.exports)
    if (name.size() > 4096) __builtin_trap();
  for (const std::string& name : info.needed)
    if (name.size() > 4096) __builtin_trap();
  (void)info.describe();
  (void)info.newestGlibc();
  return 0;
}
