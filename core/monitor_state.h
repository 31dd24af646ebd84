// What the samples keep between them: the temperature maxima and when the last one rose.
#pragma once

#include <windows.h>

#include "core/tooltip.h"

// The value fields the samples write, in the main window.
enum ValueField { cpuTemperatureField = 500, mbTemperatureField = 501, cpuFanField = 502 };

struct MonitorState {
    int maxCpu = 0;
    int maxMb = 0;
    SYSTEMTIME maxTime{};           // local time of the latest rise of either maximum
    TipStyle tipStyle{};            // chosen by start
    bool started = false;           // monitoring began, so there is a run worth logging

    // Picks the tooltip style for this platform and sets the maxima to 0.
    void start();
    // Reads the three sensors into the value fields, raises the maxima, refreshes the icon.
    void sample(HWND window);
};

extern MonitorState monitorState;
