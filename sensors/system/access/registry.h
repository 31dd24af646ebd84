// A monitor's values in the registry, under HKEY_CURRENT_USER, where any program may write.
#pragma once

#include "sensors/system/published.h"

// Every value of the key, as fieldFromRegistry takes it: text terminated, of the types it
// accepts, anything else left out, as is a value too large for a field. False when the key is
// missing, or was last written more than 15 seconds ago: a monitor that quit leaves its values
// behind. (Windows 9x keeps no write times; there a key counts as written now.)
bool readRegistryKey(const char* path, Published& published);
