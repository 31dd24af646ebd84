#include "core/monitor_state.h"

#include "core/maxima.h"
#include "core/sensor_library.h"
#include "ui/tray_icon.h"

MonitorState monitorState;

void MonitorState::start()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    // Only Windows 95/98/Me draw tooltips on one line.
    tipStyle = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? TipStyle::SingleLine : TipStyle::MultiLine;
    maxCpu = 0;
    maxMb = 0;
    started = true;
}

static void showReading(HWND window, int field, int reading)
{
    char text[textBufferSize];
    wsprintfA(text, "%d", reading);
    SetDlgItemTextA(window, field, text);
}

void MonitorState::sample(HWND window)
{
    int cpu = sensorLibrary.cpuTemperature();
    showReading(window, cpuTemperatureField, cpu);
    if (raiseMaximum(maxCpu, cpu))
        GetLocalTime(&maxTime);

    int mb = sensorLibrary.mbTemperature();
    showReading(window, mbTemperatureField, mb);
    if (raiseMaximum(maxMb, mb))
        GetLocalTime(&maxTime);

    int fan = sensorLibrary.cpuFanSpeed();
    showReading(window, cpuFanField, fan);

    char tip[textBufferSize];
    composeTip(tip, tipStyle, cpu, mb, fan);
    // The icon takes a fresh reading of its own to choose the face.
    TrayIcon::modify(window, tip);
}
