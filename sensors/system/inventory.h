// What the Linux hwmon and thermal-zone files hold, as access/hwmon_files.cpp scans them under
// Wine, and what the hwmon rules (monitors/hwmon.cpp) decide about them: which chips are worth
// keeping, and which files give the three readings. Plain data, so that the rules build and
// are tested natively.
#pragma once

constexpr int maxChips = 32;
constexpr int maxChannels = 24;
constexpr int maxZones = 32;
constexpr int maxNameLength = 32;

// tempN_input or fanN_input, with its tempN_label / fanN_label ("" when the driver has none)
// and what the input held when the machine was scanned.
struct Channel {
    int number;
    char label[maxNameLength];
    bool readable; // the input gave a number
    long value;    // millidegrees Celsius or RPM
};

// One hwmonN folder and the driver's name for it.
struct Chip {
    int number;
    char name[maxNameLength];
    Channel temps[maxChannels];
    int tempCount;
    Channel fans[maxChannels];
    int fanCount;
};

// One thermal_zoneN folder that has a temp file.
struct Zone {
    int number;
    char type[maxNameLength];
    bool readable;
    long value; // millidegrees Celsius
};

// Everything in ascending order of N, as the rules break ties by it.
struct Inventory {
    Chip chips[maxChips];
    int chipCount;
    Zone zones[maxZones];
    int zoneCount;
};

enum class PickKind { None, HwmonTemp, HwmonFan, ZoneTemp };

// folder is the N of hwmonN or thermal_zoneN; channel the N of tempN_input or fanN_input.
struct Pick {
    PickKind kind;
    int folder;
    int channel;
};

struct Picks {
    Pick cpu, mb, fan;
};

// The rules, handed to the access by the one who pairs them (workers.cpp).
struct HwmonRules {
    // Whether a scanned chip is kept: one the rules read. Servers and machines with DDR5 or
    // many disks have a chip for each module and each disk, which would fill the list.
    bool (*keeps)(const Chip& chip);
    // The files a person would take the readings off; a reading with no file is none.
    Picks (*pick)(const Inventory& found);
};
