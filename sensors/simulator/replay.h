// Readings replayed from a text file instead of the sweep: one line per CPU reading, three
// whole numbers each ("cpu mb fan"). Blank lines and lines starting with "#" are skipped, and
// so is any line that is not three numbers.
#pragma once

constexpr int maxReplayLines = 4096;

struct ReplayLine {
    int cpu, mb, fan;
};

// Fills lines from the file's text (which need not end with a line feed); returns how many.
int parseReplay(const char* text, ReplayLine* lines, int capacity);

// The whole number at text, with an optional sign, in decimal; returns where it ends, or text
// itself when there is none there.
const char* parseWholeNumber(const char* text, int& number);
