#include "round_events.h"

#include <string.h>

namespace {

constexpr int kTriggeredAt = 6;
constexpr int kNameAt = 17;

// The name equals the first n characters of the event (so a shortened name
// such as "Round" counts as well).
bool IsLeadOf(const char* name, size_t n, const char* event) {
  return n <= strlen(event) && memcmp(name, event, n) == 0;
}

}  // namespace

int RoundEvent_IsRoundLine(const char* line) {
  size_t len = strnlen(line, kRoundLineSize - 1);
  if (len <= kNameAt || line[0] != 'W') return 0;
  if (memcmp(line + kTriggeredAt, "triggered", 9) != 0) return 0;
  const char* name = line + kNameAt;
  const char* quote = static_cast<const char*>(memchr(name, '"', len - kNameAt));
  if (!quote) return 0;
  size_t n = static_cast<size_t>(quote - name);
  if (n == 0) return 0;
  if (IsLeadOf(name, n, "Round_Start") || IsLeadOf(name, n, "Round_End")) return 1;
  return n >= 13 && memcmp(name, "Restart_Round", 13) == 0 ? 1 : 0;
}
