// The three hwmon files the rules picked, as access/hwmon_files.cpp hands them over.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readHwmon, TextFields(std::string(data, data + size)).published());
}
