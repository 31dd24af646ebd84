// AIDA64's registry values, as the registry access hands them over.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readAidaRegistry, TextFields(std::string(data, data + size)).published());
}
