// Recognises the game's world-event log lines that start, end or restart a
// round: "W" at position 0, "triggered" at 6..14, the event name from 17 up
// to the next double quote.
#pragma once

// Size of the buffer a logged line is formatted into (1023 characters kept).
constexpr int kRoundLineSize = 1024;

// 1 when the line is a round event ("Round_Start", "Round_End", any name
// beginning "Restart_Round"), else 0. Reads at most kRoundLineSize - 1
// characters of a terminated line.
int RoundEvent_IsRoundLine(const char* line);
