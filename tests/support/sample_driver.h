// Drives a running quellor.exe (or the floor program) through samples from another process:
// timer messages posted in batches, each batch awaited through the sample counter. A posted
// message costs the sender no round trip, where a sent one costs about a millisecond under Wine.
#pragma once

#include <windows.h>

#include "tests/support/sample_counter.h"

class SampleDriver {
public:
    explicit SampleDriver(DWORD processId)
        : counter_(mapCounter(processId, mapping_)), reached_(reachedEvent(processId)), ready_(readyEvent(processId))
    {
    }
    ~SampleDriver()
    {
        if (counter_)
            UnmapViewOfFile(counter_);
        if (mapping_)
            CloseHandle(mapping_);
        CloseHandle(reached_);
        CloseHandle(ready_);
    }
    SampleDriver(const SampleDriver&) = delete;
    SampleDriver& operator=(const SampleDriver&) = delete;

    // Waits until start-up is over: the program's first wait for a message.
    bool waitUntilReady(DWORD ms) const { return WaitForSingleObject(ready_, ms) == WAIT_OBJECT_0; }
    long samples() const { return counter_ ? counter_->samples : 0; }

    // Posts count timer messages and returns once as many more samples have run; false when
    // they did not come within a minute per batch. The program's own 5-second timer may add a
    // sample now and then: the count, not the messages, says how many ran.
    bool run(HWND window, long count)
    {
        if (!counter_)
            return false;
        const long batch = 1000; // far below the 10,000 messages a Windows queue holds
        for (long done = 0; done < count;) {
            long now = batch < count - done ? batch : count - done;
            InterlockedExchange(&counter_->target, counter_->samples + now);
            for (long i = 0; i < now; ++i)
                PostMessageA(window, WM_TIMER, 1, 0);
            if (WaitForSingleObject(reached_, 60000) != WAIT_OBJECT_0)
                return false;
            done += now;
        }
        return true;
    }

private:
    HANDLE mapping_ = nullptr;
    SampleCounter* counter_;
    HANDLE reached_, ready_;
};
