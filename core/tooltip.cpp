#include "core/tooltip.h"

#include "core/decimal_text.h"

void composeTip(char (&text)[textBufferSize], TipStyle style, int cpu, int mb, int fan)
{
    const char* between = style == TipStyle::SingleLine ? " " : "\n";
    char* last = text + sizeof text - 1;
    char* out = appendText(text, last, "CPU ");
    out = appendNumber(out, last, cpu);
    out = appendText(out, last, between);
    out = appendText(out, last, "MB ");
    out = appendNumber(out, last, mb);
    out = appendText(out, last, between);
    out = appendText(out, last, "Fan ");
    appendNumber(out, last, fan);
}
