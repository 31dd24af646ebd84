// A monitor's named file mapping, copied into memory of our own before anything reads it:
// the monitor, or anyone posing as it, may rewrite or resize what it shares at any moment.
#pragma once

#include "sensors/system/access/memory.h"
#include "sensors/system/bytes.h"

class MappingCopy {
public:
    // The mapping's bytes as far as they really are mapped (VirtualQuery on the view, never a
    // size the publisher states), at most 4 MiB. mutex, when given, is waited for a few ms
    // before copying and let go at once; one that is held too long or was abandoned does not
    // stop the copy. The copy stays valid until the next read or release. False when there is
    // no mapping.
    bool read(const char* name, const char* mutex, Bytes& copy);
    void release() { buffer.release(); }

private:
    Block<unsigned char> buffer;
};
