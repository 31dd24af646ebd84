#include "sensors/system/access/http_answer.h"

bool bodyOfAnswer(const char* answer, unsigned long length, Bytes& body)
{
    static const char status[] = "HTTP/1.x 200";
    const unsigned long statusLength = sizeof status - 1;
    if (length < statusLength)
        return false;
    for (unsigned long i = 0; i < statusLength; ++i)
        if (status[i] != 'x' && answer[i] != status[i])
            return false;
    for (unsigned long i = 0; i + 3 < length; ++i) {
        if (answer[i] == '\r' && answer[i + 1] == '\n' && answer[i + 2] == '\r' && answer[i + 3] == '\n') {
            body = Bytes(reinterpret_cast<const unsigned char*>(answer + i + 4), length - i - 4);
            return true;
        }
    }
    return false;
}
