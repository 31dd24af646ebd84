// The chips that watch a motherboard, by family, in one table: the hwmon rules and the
// monitors' channels named only by number ("Fan #2" under "Nuvoton NCT6797D") read the same
// rows, so that the two cannot disagree about where boards wire what.
#pragma once

struct ChipFamily {
    const char* prefix; // of the chip's name, as the Linux driver gives it ("nct6798") and as
                        // the last word of a monitor's name for it ("NCT6798D")
    int cpuFan;         // the fan input boards wire the CPU fan to (CPUFANIN); 0 for none
    int boardTemp;      // the temperature input that is the board's (SYSTIN); 0 for none
};

// The family of a chip named so ("nct6798", "Nuvoton NCT6798D", "asus_wmi_sensors"): a Super
// I/O chip, which has fan inputs, or the firmware's own interface to one; nullptr for any
// other chip.
const ChipFamily* chipFamily(const char* name);
