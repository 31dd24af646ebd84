#include "sensors/system/binary_layouts.h"
#include "sensors/system/publishers.h"
#include "sensors/system/shared_memory.h"
#include "sensors/system/text_formats.h"

// Copies the first of the mappings that exists and has the parser's approval.
template <typename Parse>
static void readMapping(const char* const (*names)[3], int count, Found& found, Parse parse)
{
    for (int i = 0; i < count; ++i) {
        Bytes bytes(nullptr, 0);
        SensorChoice choice(names[i][2]);
        if (copyMapping(names[i][0], names[i][1], bytes) && parse(bytes, choice)) {
            found = choice.found();
            return;
        }
    }
}

// HWiNFO makes its mapping in the global namespace when it may, in the session's otherwise.
void readHwinfoMemory(Found& found)
{
    static const char* const names[][3] = {
        {"Global\\HWiNFO_SENS_SM2", "Global\\HWiNFO_SM2_MUTEX", "HWiNFO shared memory"},
        {"HWiNFO_SENS_SM2", "HWiNFO_SM2_MUTEX", "HWiNFO shared memory"},
    };
    readMapping(names, 2, found, [](const Bytes& bytes, SensorChoice& choice) {
        return parseHwinfoMemory(bytes, unixTimeNow(), choice);
    });
}

void readAidaMemory(Found& found)
{
    static const char* const names[][3] = {
        {"AIDA64_SensorValues", nullptr, "AIDA64 shared memory"},
        {"EVEREST_SensorValues", nullptr, "EVEREST shared memory"},
    };
    readMapping(names, 2, found, [](const Bytes& bytes, SensorChoice& choice) {
        // The text ends at its first zero byte, or with the mapping when it has none.
        unsigned long length = 0;
        unsigned byte;
        while (bytes.u8(length, byte) && byte != 0)
            ++length;
        parseAidaXml(bytes.chars(), length, choice);
        return true;
    });
}

// Core Temp's mapping outlives Core Temp while anyone holds it open, with its last values
// frozen in it: each read opens and closes it again.
void readCoreTemp(Found& found)
{
    static const char* const names[][3] = {
        {"CoreTempMappingObjectEx", nullptr, "Core Temp shared memory"},
        {"CoreTempMappingObject", nullptr, "Core Temp shared memory"},
    };
    readMapping(names, 2, found, parseCoreTemp);
}

void readAfterburner(Found& found)
{
    static const char* const names[][3] = {{"MAHMSharedMemory", nullptr, "MSI Afterburner shared memory"}};
    readMapping(names, 1, found, [](const Bytes& bytes, SensorChoice& choice) {
        return parseAfterburner(bytes, unixTimeNow(), choice);
    });
}

void readSpeedFan(Found& found)
{
    static const char* const names[][3] = {{"SFSharedMemory_ALM", nullptr, "SpeedFan shared memory"}};
    readMapping(names, 1, found, parseSpeedFan);
}

void readMbm5(Found& found)
{
    static const char* const names[][3] = {{"$M$B$M$5$S$D$", nullptr, "Motherboard Monitor 5 shared memory"}};
    readMapping(names, 1, found, parseMbm5);
}
