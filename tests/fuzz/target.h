// What every fuzz target shares: the input as a monitor is handed it, and what every monitor
// promises whatever it was handed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/published_text.h"
#include "sensors/system/monitors/monitors.h"

// The clock the targets give the monitors that date what they publish; tests/fuzz/seeds.cpp stamps
// its images with it, so that mutations start from data the monitors take as fresh.
constexpr long long fuzzNow = 1767225600; // 1 January 2026

inline Published publishedBytes(const uint8_t* data, size_t size)
{
    Published published;
    published.bytes = Bytes(data, static_cast<unsigned long>(size));
    published.now = fuzzNow;
    return published;
}

// Readings that pass the check, with names that end within their field; anything else is a
// finding.
inline void checkOffers(const Choice& choice)
{
    Readings found = choice.readings();
    int whole;
    const Reading* all[] = {&found.cpu, &found.mb, &found.fan};
    for (const Reading* reading : all) {
        bool named = false;
        for (char c : reading->sensor)
            named = named || c == '\0';
        bool checked = reading == &found.fan ? isFanSpeed(reading->value, whole) : isTemperature(reading->value, whole);
        if (!named || (reading->found && !checked))
            __builtin_trap();
    }
}

// The monitor's offers from what it was handed, checked.
inline int offerAndCheck(Parser parse, const Published& published)
{
    Choice choice("fuzz");
    parse(published, choice);
    checkOffers(choice);
    return 0;
}
