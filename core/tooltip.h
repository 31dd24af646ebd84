// The notification-area tooltip: the three readings in one line or three.
#pragma once

#include <cstddef>

// Windows 95/98/Me draw a tooltip on one line; the NT family honours line feeds.
enum class TipStyle { SingleLine, MultiLine };

// Room for any formatted reading or tooltip; the longest tooltip has 46 characters.
constexpr std::size_t textBufferSize = 80;

// Writes "CPU 45 MB 38 Fan 4500" or "CPU 45\nMB 38\nFan 4500" into text.
void composeTip(char (&text)[textBufferSize], TipStyle style, int cpu, int mb, int fan);
