// Lists the hwmon chips and thermal zones under a sysfs root ("Z:\sys" under Wine, or a
// copy of one for tests) for the rules in sysfs_rules.h.
#pragma once

#include "sensors/system/sysfs_rules.h"

// Folders that are missing leave the inventory empty; beyond the limits in sysfs_rules.h the
// rest is left out.
void scanSysfs(const char* root, Inventory& found);
