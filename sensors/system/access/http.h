// A web server on this PC, asked the way a monitor's own page would be: one GET, with a time
// limit and a cap on the answer, so that a server that stalls or talks without end costs about
// a second and a few MiB at most.
#pragma once

#include "sensors/system/bytes.h"

// Winsock for this thread's requests, bound at run time: a bare Windows 95 has none, and the
// library must load there. False where it cannot start.
bool startHttp();
void stopHttp();

// The body of url's answer ("http://127.0.0.1:8085/data.json", the host given as digits) when
// the server answers 200 and closes within about a second, at most 2 MiB in all; false
// otherwise. The body stays valid until the next call.
bool httpGet(const char* url, Bytes& body);
