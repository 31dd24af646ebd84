// SpeedFan's shared memory.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readSpeedFan, publishedBytes(data, size));
}
