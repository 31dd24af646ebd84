// The Linux hwmon and thermal-zone files, read under Wine: which of them give the three
// readings. access/hwmon_files.cpp lists what a machine has; these rules pick from that list,
// and again when a picked file goes away.
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

// The files a person would take the readings off; the rules are written out beside the code
// that applies them. A reading with no file is none.
Picks pickFiles(const Inventory& found);

// Whether the scan keeps a chip of this name: one the rules read, or any chip whose fan label
// names the processor.
bool isChipTheRulesRead(const char* name);

// The Super I/O, embedded-controller and firmware interfaces that watch a motherboard.
bool isBoardChip(const char* name);
