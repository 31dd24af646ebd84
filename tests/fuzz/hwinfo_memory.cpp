// HWiNFO's shared memory, as copied from the mapping.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readHwinfoMemory, publishedBytes(data, size));
}
