// A monitor's named file mapping, copied into memory of our own before anything reads it:
// the monitor, or anyone posing as it, may rewrite or resize what it shares at any moment.
#pragma once

#include "sensors/system/bytes.h"

// The mapping's bytes as far as they really are mapped (VirtualQuery on the view, never a
// size the publisher states), at most 4 MiB. mutex, when given, is waited for a few ms
// before copying and let go at once; one that is held too long or was abandoned does not
// stop the copy. The copy stays valid until the next call. False when there is no mapping.
bool copyMapping(const char* name, const char* mutex, Bytes& copy);

// Gives back the memory the copies take, when the thread that copies ends.
void releaseMappingCopies();

