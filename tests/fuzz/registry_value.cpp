// One registry value as RegEnumValueA hands it over: its type (the first byte), then its data,
// of any size and terminated or not. Its text must end within the field.
#include "tests/fuzz/target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Field field(0, "Value.TCPU");
    bool taken = fieldFromRegistry(data[0], data + 1, static_cast<unsigned long>(size - 1), field);
    bool ended = false;
    for (char c : field.text)
        ended = ended || c == '\0';
    if (taken && (!ended || (field.numeric && field.text[0])))
        __builtin_trap();
    return 0;
}
