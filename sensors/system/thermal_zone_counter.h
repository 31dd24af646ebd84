// The ACPI thermal zones' temperature through the performance counters, which any user may
// read. Runs on the background worker: PDH can take seconds to answer.
#pragma once

namespace thermalZone {

// Loads PDH and adds the counter; false where either is missing (Windows before 8 has only
// whole kelvins, older systems no counter or no PDH at all; Wine has no thermal zones).
bool open();
void close();
// The hottest zone in whole degrees, the CPU's being the warmest on the machines that have
// one of their own; false when no zone gives a reading now.
bool read(int& degrees);
// The PDH status of the last failure.
long lastError();

} // namespace thermalZone
