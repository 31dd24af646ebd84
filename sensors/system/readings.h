// The three readings the exports hand back; 0 where there is none.
#pragma once

struct Readings {
    int cpu = 0; // degrees Celsius
    int mb = 0;  // degrees Celsius
    int fan = 0; // revolutions per minute
};
