#include "core/maxima.h"

#include "core/decimal_text.h"

void formatMaximaRecord(char (&record)[maximaRecordSize], const MaximaTime& time, int maxCpu, int maxMb)
{
    // day/month/year hour.minute.second, all but the day and year two digits at least
    char* last = record + sizeof record - 1;
    char* out = appendNumber(record, last, time.day);
    out = appendText(out, last, "/");
    out = appendNumber(out, last, time.month, 2);
    out = appendText(out, last, "/");
    out = appendNumber(out, last, time.year);
    out = appendText(out, last, " ");
    out = appendNumber(out, last, time.hour, 2);
    out = appendText(out, last, ".");
    out = appendNumber(out, last, time.minute, 2);
    out = appendText(out, last, ".");
    out = appendNumber(out, last, time.second, 2);
    out = appendText(out, last, "\nCPU ");
    out = appendNumber(out, last, maxCpu);
    out = appendText(out, last, "\nMB ");
    appendNumber(out, last, maxMb);
}
