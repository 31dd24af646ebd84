// LibreHardwareMonitor's and Open Hardware Monitor's data.json.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readMonitorJson, publishedBytes(data, size));
}
