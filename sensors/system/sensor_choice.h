// Which of a monitor's sensors give the three readings, and which monitor gives each.
#pragma once

constexpr int sensorNameLength = 48;

// One of the three readings and where it came from.
struct Reading {
    bool found = false;
    int value = 0;                       // degrees Celsius or revolutions per minute
    const char* source = nullptr;        // "HWiNFO shared memory"
    char sensor[sensorNameLength] = "";  // the sensor's own name there, "CPU Package"
};

struct Found {
    Reading cpu, mb, fan;
};

enum class Quantity { Temperature, Fan };

// Collects one monitor's sensors, in whatever order it lists them, and keeps the best for
// each reading by the rules in sensor_choice.cpp. Values are degrees Celsius or rpm; what is
// no reading (see isTemperature and isFanSpeed) is passed over.
class SensorChoice {
public:
    explicit SensorChoice(const char* source) : source(source) {}

    // A sensor by the name the monitor gives it in English. onGraphicsCard marks the sensors
    // of a graphics card, whose fans never count.
    void offer(Quantity quantity, const char* name, double value, bool onGraphicsCard = false);

    // For monitors that say what a value is by other means than a name (an id, a field):
    // rank 1 is the weakest; at equal rank the first stays, except that the hottest of the
    // processor's cores wins (coreRank).
    static constexpr int coreRank = 3;
    void offerCpu(const char* name, double celsius, int rank);
    void offerBoard(const char* name, double celsius, int rank);
    void offerFan(const char* name, double rpm, int rank);

    Found found() const;

private:
    struct Best {
        int rank = 0;
        double value = 0;
        char name[sensorNameLength] = "";
    };
    void keep(Best& best, int rank, const char* name, double value, bool hottest);
    Reading reading(const Best& best) const;

    const char* source;
    Best cpu, mb, fan;
};

// For each reading, the first source in the list that has it.
Found firstFound(const Found* sources, int count);
