// LibreHardwareMonitor's and Open Hardware Monitor's WMI rows, as the WMI access hands them over.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return offerAndCheck(readMonitorWmi, TextFields(std::string(data, data + size)).published());
}
