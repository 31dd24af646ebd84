#include "core/tooltip.h"

#include <cstdio>

void composeTip(char (&text)[textBufferSize], TipStyle style, int cpu, int mb, int fan)
{
    const char* format = style == TipStyle::SingleLine ? "CPU %d MB %d Fan %d" : "CPU %d\nMB %d\nFan %d";
    std::snprintf(text, sizeof text, format, cpu, mb, fan);
}
