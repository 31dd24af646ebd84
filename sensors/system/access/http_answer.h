// What a web server's answer holds for us, apart from the sockets that fetched it: pure code, so
// that it builds natively and can be fuzzed.
#pragma once

#include "sensors/system/bytes.h"

// The body of a whole answer: its status line must say "HTTP/1.x 200", and the body starts after
// the first empty line (CR LF CR LF). False for any other status, or when the headers never end.
bool bodyOfAnswer(const char* answer, unsigned long length, Bytes& body);
