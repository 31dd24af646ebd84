// A "vesk.dll" whose readings cost nothing: the same values, returned at once, so that what a
// benchmark measures is quellor.exe's own work.
#include <windows.h>

#include "test_library.h"

extern "C" __declspec(dllexport) int GetCPUTemperature(void) { return 45; }
extern "C" __declspec(dllexport) int GetFanCPURPM(void) { return 4500; }
extern "C" __declspec(dllexport) int GetMBTemperature(void)
{
    countSample();
    return 38;
}

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        attachTestLibrary(library);
    return TRUE;
}
