// A monitor's values in the registry, under HKEY_CURRENT_USER, where any program may write.
#pragma once

#include "sensors/system/access/memory.h"
#include "sensors/system/published.h"

class RegistryKey {
public:
    // Every value of the key, as fieldFromRegistry takes it: text terminated, of the types it
    // accepts, anything else left out, as is a value too large for a field. False when the key
    // is missing, or was last written more than 15 seconds ago: a monitor that quit leaves its
    // values behind. (Windows 9x keeps no write times; there a key counts as written now.) The
    // fields stay valid until the next read or release.
    bool read(const char* path, Published& published);
    void release() { values.release(); }

private:
    Block<Field> values;
};
