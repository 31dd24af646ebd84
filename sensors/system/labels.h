// Matching the names drivers and monitors give their sensors. Case does not matter, and
// "_" and "-" count as spaces, so "CPU_Opt", "CPU OPT" and "cpu-opt" are one name.
#pragma once

bool labelStartsWith(const char* label, const char* prefix);
bool labelContains(const char* label, const char* part);
bool labelEquals(const char* label, const char* other);
// Trailing spaces of label do not count: "45 \xb0C " ends with "C".
bool labelEndsWith(const char* label, const char* end);

// 2 for a fan named after the processor ("CPU Fan", "CPU", "Processor Fan"), 1 for the
// optional second header beside it ("CPU_Opt"), 0 for any other fan.
int cpuFanRank(const char* label);

// Copies from up to its first zero or length characters, whichever comes first, cut to fit
// to (size bytes, always terminated): for names and texts a monitor wrote, terminated or not.
void copyLabel(char* to, int size, const char* from, unsigned long length = 0xFFFFFFFFul);
