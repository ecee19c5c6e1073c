// Feeds arbitrary log lines to the round event detector and checks its
// verdict against a plain reading of the line layout.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "round_events.h"

namespace {

bool Expected(const std::string& line) {
  if (line.size() <= 17 || line[0] != 'W' || line.compare(6, 9, "triggered") != 0) return false;
  size_t quote = line.find('"', 17);
  if (quote == std::string::npos || quote == 17) return false;
  std::string name = line.substr(17, quote - 17);
  auto leadOf = [&](const std::string& event) { return name.size() <= event.size() && event.compare(0, name.size(), name) == 0; };
  return leadOf("Round_Start") || leadOf("Round_End") || name.rfind("Restart_Round", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The wrapper hands over a terminated line of at most 1023 characters.
  char line[kRoundLineSize];
  size_t n = size < sizeof(line) - 1 ? size : sizeof(line) - 1;
  memcpy(line, data, n);
  line[n] = '\0';
  int verdict = RoundEvent_IsRoundLine(line);
  if (verdict != 0 && verdict != 1) abort();
  if ((verdict == 1) != Expected(std::string(line))) abort();
  return 0;
}
