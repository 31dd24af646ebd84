// The C library functions the compiler itself emits calls to (for a structure zeroed or
// copied whole, a large array initialised, a loop it recognises as one of them), for the
// files we ship without a C runtime.
// Byte by byte: they only ever move a few hundred bytes. This file is compiled so that the
// compiler does not turn the loops back into calls to themselves.
#include <stddef.h>

extern "C" void* memset(void* destination, int value, size_t count)
{
    auto out = static_cast<unsigned char*>(destination);
    while (count--)
        *out++ = static_cast<unsigned char>(value);
    return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count)
{
    auto out = static_cast<unsigned char*>(destination);
    auto in = static_cast<const unsigned char*>(source);
    while (count--)
        *out++ = *in++;
    return destination;
}

extern "C" size_t strlen(const char* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}
