// The numbers sources write: a kernel attribute as access/files.cpp reads it (at most 31 bytes,
// terminated), and a decimal within its bytes as the monitors parse it.
#include "tests/fuzz/target.h"
#include "sensors/system/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string attribute(data, data + std::min<size_t>(size, 31));
    long whole;
    double value;
    parseAttributeNumber(attribute.c_str(), whole);
    parseDecimal(reinterpret_cast<const char*>(data), static_cast<int>(std::min<size_t>(size, 1 << 20)), value);
    return 0;
}
