#include "sensors/system/bytes.h"

// Little-endian, as every Windows publisher writes.
static unsigned long long little(const unsigned char* at, int count)
{
    unsigned long long value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

bool Bytes::u8(unsigned long offset, unsigned& value) const
{
    if (!has(offset, 1))
        return false;
    value = data[offset];
    return true;
}

bool Bytes::u16(unsigned long offset, unsigned& value) const
{
    if (!has(offset, 2))
        return false;
    value = static_cast<unsigned>(little(data + offset, 2));
    return true;
}

bool Bytes::u32(unsigned long offset, unsigned long& value) const
{
    if (!has(offset, 4))
        return false;
    value = static_cast<unsigned long>(little(data + offset, 4));
    return true;
}

bool Bytes::i32(unsigned long offset, long& value) const
{
    unsigned long raw;
    if (!u32(offset, raw))
        return false;
    value = raw <= 0x7FFFFFFFul ? static_cast<long>(raw) : -static_cast<long>(0xFFFFFFFFul - raw) - 1;
    return true;
}

bool Bytes::u64(unsigned long offset, unsigned long long& value) const
{
    if (!has(offset, 8))
        return false;
    value = little(data + offset, 8);
    return true;
}

bool Bytes::f32(unsigned long offset, double& value) const
{
    unsigned long raw;
    if (!u32(offset, raw))
        return false;
    union {
        unsigned int bits;
        float number;
    } both;
    both.bits = static_cast<unsigned int>(raw);
    value = both.number;
    return true;
}

bool Bytes::f64(unsigned long offset, double& value) const
{
    unsigned long long raw;
    if (!u64(offset, raw))
        return false;
    union {
        unsigned long long bits;
        double number;
    } both;
    both.bits = raw;
    value = both.number;
    return true;
}

bool Bytes::text(unsigned long offset, unsigned long fieldSize, char* text, int size) const
{
    if (size <= 0 || !has(offset, fieldSize))
        return false;
    unsigned long i = 0;
    for (; i < fieldSize && static_cast<long>(i) < size - 1 && data[offset + i]; ++i)
        text[i] = static_cast<char>(data[offset + i]);
    text[i] = '\0';
    return true;
}

bool Bytes::text16(unsigned long offset, unsigned long units, char* text, int size) const
{
    if (size <= 0 || !hasArray(offset, units, 2))
        return false;
    unsigned long i = 0;
    for (unsigned unit; i < units && static_cast<long>(i) < size - 1 && u16(offset + 2 * i, unit) && unit; ++i)
        text[i] = unit < 0x80 ? static_cast<char>(unit) : '?';
    text[i] = '\0';
    return true;
}
