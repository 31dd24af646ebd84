// The three readings, the one check every value from every source passes, and the rules that
// choose among a monitor's sensors and among the sources. The rules are written out once, in
// choice.cpp beside the code that applies them.
#pragma once

constexpr int sensorNameLength = 48;

// One of the three values the exports give.
struct Reading {
    bool found = false;
    int value = 0;                      // whole degrees Celsius, or revolutions per minute
    const char* source = nullptr;       // the row of the source table: "HWiNFO shared memory"
    char sensor[sensorNameLength] = ""; // the monitor's own name for it: "CPU Package"
    unsigned readAt = 0;                // GetTickCount() when its source was read
};

struct Readings {
    Reading cpu, mb, fan;
};

// The check. A value is a reading only when, rounded to a whole number (halves away from zero),
// it lies within these bounds; NaN and the infinities never are. whole gets the rounded value.
bool isTemperature(double celsius, int& whole); // 1 to 125 degrees Celsius
bool isFanSpeed(double rpm, int& whole);        // 0 to 30,000 rpm; 0 is a fan standing still

// How strongly a sensor's name says it is the reading; 0 is not at all, and more is better.
namespace rank {
// CPU temperature
constexpr int boardChipCpu = 1, core = 3, tctl = 4, package = 5, tdie = 6;
// Board temperature
constexpr int system = 1, motherboard = 2;
// CPU fan
constexpr int anySpinning = 1, cpuHeader = 2, cpuStopped = 3, cpuOptional = 4, cpuFan = 5;
} // namespace rank

enum class Quantity { Temperature, Fan };

// Collects one source's sensors, in whatever order it lists them, and keeps the best for each
// reading. Everything offered passes the check first; what fails it is passed over.
class Choice {
public:
    explicit Choice(const char* source) : source(source) {}

    // A sensor by the name the monitor gives it in English. onGraphicsCard marks the sensors of
    // a graphics card, whose fans never count.
    void offer(Quantity quantity, const char* name, double value, bool onGraphicsCard = false);

    // For sources that say what a value is by other means than a name (an id, a field, a file):
    // at equal rank the first stays, except that the hottest of the processor's cores wins.
    void offerCpu(const char* name, double celsius, int rank);
    void offerBoard(const char* name, double celsius, int rank);
    void offerFan(const char* name, double rpm, int rank);

    Readings readings() const;

    // For a monitor that counts its updates rather than stamping them with the time: the
    // count, which has to move for what was offered to stay fresh (workers.cpp watches it).
    void countUpdates(unsigned long count)
    {
        counted = true;
        updates = count;
    }
    bool updateCount(unsigned long& count) const
    {
        count = updates;
        return counted;
    }

private:
    struct Best {
        int rank = 0;
        int value = 0;
        char name[sensorNameLength] = "";
    };
    void keep(Best& best, int rank, const char* name, int value, bool hottest);
    Reading reading(const Best& best) const;

    const char* source;
    Best cpu, mb, fan;
    bool counted = false;
    unsigned long updates = 0;
};

// A reading older than this counts as none: its source has stopped answering.
constexpr unsigned freshForMs = 15000;

// For each reading, the first source in the table's order whose reading is found and was read
// within freshForMs of now (GetTickCount() times, which wrap).
Readings chooseFresh(const Readings* sources, int count, unsigned now);
