// The readings under Wine on Linux: the hwmon and thermal-zone files chosen when the library
// loads, each read afresh on every call.
#pragma once

#include <windows.h>

class SysfsSensors {
public:
    // Chooses the three files under root ("Z:\sys", or a copy of one); without the drive
    // or the folders, every reading is 0.
    void open(const char* root);
    int cpuTemperature() const { return read(cpu); }
    int mbTemperature() const { return read(mb); }
    int cpuFanSpeed() const { return read(fan); }

private:
    struct File {
        char path[MAX_PATH] = ""; // "" when there is no source
        bool millidegrees = false;
    };
    // A file that cannot be read or parsed gives 0 this time and is tried again next time.
    static int read(const File& file);

    File cpu, mb, fan;
};
