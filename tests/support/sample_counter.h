// How a driver outside quellor.exe follows its samples: the test sensor libraries count their
// GetMBTemperature calls, one per sample, in a block of shared memory named after the process,
// and set an event when the count reaches the driver's target. Posted timer messages give no
// answer, and a synchronous message cannot tell either: while a sample waits for the shell,
// sent messages are handled inside it, so its reply may come before the sample is over.
#pragma once

#include <windows.h>

struct SampleCounter {
    volatile LONG samples; // GetMBTemperature calls so far
    volatile LONG target;  // the driver waits for samples to reach this
};

// "QuellorSamples.<pid>", the reached event "QuellorSamplesReached.<pid>", and the event
// "QuellorReady.<pid>" set when the program first waits for a message: start-up is over.
inline void counterName(char (&name)[64], const char* what, DWORD processId)
{
    wsprintfA(name, "Quellor%s.%lu", what, static_cast<unsigned long>(processId));
}

// Both sides create the objects, whoever comes first; the second opens the same ones.
inline HANDLE readyEvent(DWORD processId)
{
    char name[64];
    counterName(name, "Ready", processId);
    return CreateEventA(nullptr, TRUE, FALSE, name);
}

inline HANDLE reachedEvent(DWORD processId)
{
    char name[64];
    counterName(name, "SamplesReached", processId);
    return CreateEventA(nullptr, FALSE, FALSE, name);
}

// The mapping handle must stay open while the counter is in use: the name of a mapping goes
// with its last handle, even while a view keeps the memory.
inline SampleCounter* mapCounter(DWORD processId, HANDLE& mapping)
{
    char name[64];
    counterName(name, "Samples", processId);
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SampleCounter), name);
    if (!mapping)
        return nullptr;
    return static_cast<SampleCounter*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SampleCounter)));
}
