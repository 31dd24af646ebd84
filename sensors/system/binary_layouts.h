// The packed records the monitors publish in shared memory, parsed from a private copy of
// the mapping. Every offset, size and count a header states is checked against the bytes
// really there; a layout that does not fit is refused as a whole, an element that names a
// sensor that does not exist is skipped. Each parser offers what it finds to the choice and
// returns false when the layout is refused or the publisher has marked itself stale.
#pragma once

#include "sensors/system/bytes.h"
#include "sensors/system/sensor_choice.h"

// HWiNFO's "HWiNFO_SENS_SM2", versions 1 and 2. now: seconds since 1970, to tell a live
// publisher from one that stopped polling.
bool parseHwinfoMemory(const Bytes& bytes, long long now, SensorChoice& choice);

// Core Temp's "CoreTempMappingObject(Ex)": the hottest core of the first processor.
bool parseCoreTemp(const Bytes& bytes, SensorChoice& choice);

// MSI Afterburner's "MAHMSharedMemory": its CPU temperature entry, when it has one.
bool parseAfterburner(const Bytes& bytes, long long now, SensorChoice& choice);

// SpeedFan's "SFSharedMemory_ALM". Its record has no names, so only its first fan counts,
// as the first fan of a board chip does.
bool parseSpeedFan(const Bytes& bytes, SensorChoice& choice);

// Motherboard Monitor 5's "$M$B$M$5$S$D$": its named temperatures and fans.
bool parseMbm5(const Bytes& bytes, SensorChoice& choice);
