// Reading a publisher's bytes: every offset and length is checked against what is really
// there, with arithmetic that cannot overflow, and values are assembled byte by byte so
// that an odd offset is no matter.
#pragma once

class Bytes {
public:
    Bytes(const unsigned char* data, unsigned long size) : data(data), size(size) {}
    unsigned long length() const { return size; }
    // The bytes as text, for the formats that are text; length() of them, zero or not.
    const char* chars() const { return reinterpret_cast<const char*>(data); }
    // True when [offset, offset + count) lies inside.
    bool has(unsigned long offset, unsigned long count) const { return offset <= size && count <= size - offset; }
    // True when count elements of elementSize bytes from offset lie inside.
    bool hasArray(unsigned long offset, unsigned long count, unsigned long elementSize) const
    {
        if (!has(offset, 0))
            return false;
        return elementSize == 0 || count <= (size - offset) / elementSize;
    }

    // Each is false, leaving value alone, when the field does not lie inside.
    bool u8(unsigned long offset, unsigned& value) const;
    bool u16(unsigned long offset, unsigned& value) const;
    bool u32(unsigned long offset, unsigned long& value) const;
    bool i32(unsigned long offset, long& value) const;
    bool u64(unsigned long offset, unsigned long long& value) const;
    bool f32(unsigned long offset, double& value) const;
    bool f64(unsigned long offset, double& value) const;
    // A text field of fieldSize bytes: copied up to its first zero or its end, whichever comes
    // first, and cut to fit text (size bytes, always terminated).
    bool text(unsigned long offset, unsigned long fieldSize, char* text, int size) const;
    // The same for a field of units UTF-16 units, as Windows' wide texts are: each letter
    // outside ASCII becomes '?', which no name the rules look for holds.
    bool text16(unsigned long offset, unsigned long units, char* text, int size) const;

private:
    const unsigned char* data;
    unsigned long size;
};
