#include "core/maxima_log.h"

#include <cstdio>

#include "core/maxima.h"
#include "core/monitor_state.h"

void MaximaLog::write()
{
    const SYSTEMTIME& t = monitorState.maxTime;
    MaximaTime time{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    char record[maximaRecordSize];
    formatMaximaRecord(record, time, monitorState.maxCpu, monitorState.maxMb);

    // Text mode: each line feed reaches the file as CR LF.
    FILE* file = std::fopen("log.txt", "w");
    if (!file)
        return;
    std::fputs(record, file);
    std::fclose(file);
}
