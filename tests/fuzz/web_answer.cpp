// A whole answer from the web server on 8085: its status line and headers, then its body as
// data.json.
#include "tests/fuzz/target.h"
#include "sensors/system/access/http_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Published published = publishedBytes(data, size);
    if (bodyOfAnswer(published.bytes.chars(), published.bytes.length(), published.bytes))
        offerAndCheck(readMonitorJson, published);
    return 0;
}
