// AIDA64's (and EVEREST's) shared-memory text.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readAidaMemory, publishedBytes(data, size));
}
