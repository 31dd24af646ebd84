// Motherboard Monitor 5's shared memory.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readMbm5, publishedBytes(data, size));
}
