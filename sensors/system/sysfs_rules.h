// Which of the kernel's hwmon and thermal-zone files give the three readings. The scan lists
// what a machine has; these rules pick from that list once, when the library loads.
#pragma once

constexpr int maxChips = 32;
constexpr int maxChannels = 24;
constexpr int maxZones = 32;
constexpr int maxNameLength = 32;

// tempN_input or fanN_input, with its tempN_label / fanN_label ("" when the driver has none).
struct Channel {
    int number;
    char label[maxNameLength];
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
};

// Everything in ascending order of N, as the rules break ties by it.
struct Inventory {
    Chip chips[maxChips];
    int chipCount;
    Zone zones[maxZones];
    int zoneCount;
};

enum class SourceKind { None, HwmonTemp, HwmonFan, ZoneTemp };

// folder is the N of hwmonN or thermal_zoneN; channel the N of tempN_input or fanN_input.
struct Source {
    SourceKind kind;
    int folder;
    int channel;
};

struct Sources {
    Source cpu, mb, fan;
};

// CPU: coretemp "Package id 0" (else its first core); k10temp or zenpower Tdie, else Tctl,
//      else an unlabelled temp1; cpu_thermal temp1; else the x86_pkg_temp thermal zone.
// Board: a board monitoring chip's "SYSTIN" or "Motherboard" temperature, else the first
//      board chip's temp1; else acpitz temp1, as hwmon or as thermal zone.
// Fan: a fan named after the CPU (an optional CPU header only when no other is named), else
//      fan1 of a board chip, else the first fan found. A graphics card's fan never counts.
// Whatever has no source reads 0.
Sources chooseSources(const Inventory& found);

// The Super I/O and embedded-controller drivers that watch a motherboard.
bool isBoardChip(const char* name);
