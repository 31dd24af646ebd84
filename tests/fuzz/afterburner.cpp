// MSI Afterburner's shared memory.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readAfterburner, publishedBytes(data, size));
}
