// The ACPI thermal zones: the counter's instances, in either of its units, and WMI's rows.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(data, data + size);
    const char* precise = "\\Thermal Zone Information(*)\\High Precision Temperature";
    offerAndCheck(readZoneCounter, TextFields(text, precise).published());
    offerAndCheck(readZoneCounter, TextFields(text, "\\Thermal Zone Information(*)\\Temperature").published());
    return offerAndCheck(readZoneWmi, TextFields(text).published());
}
