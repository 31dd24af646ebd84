#include "core/maxima_log.h"

#include "core/maxima.h"
#include "core/monitor_state.h"

void MaximaLog::write()
{
    const SYSTEMTIME& t = monitorState.maxTime;
    MaximaTime time{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    char record[maximaRecordSize];
    formatMaximaRecord(record, time, monitorState.maxCpu, monitorState.maxMb);

    // A text file, as Notepad reads it: each line feed becomes CR LF.
    char text[2 * maximaRecordSize];
    DWORD length = 0;
    for (const char* c = record; *c; ++c) {
        if (*c == '\n')
            text[length++] = '\r';
        text[length++] = *c;
    }

    // Emptied if it exists, made if not, shared as the C library's fopen(..., "w") did.
    HANDLE file = CreateFileA("log.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, text, length, &written, nullptr);
    CloseHandle(file);
}
