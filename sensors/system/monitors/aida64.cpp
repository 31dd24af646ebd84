#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

// AIDA64 names each value by an id that says what it is: TCPUPKG the processor's package,
// TCC-1-1, TCC-1-2 ... its cores ("CPU #1 / Core #1"), TCPU the board chip's "CPU", TMOBO the
// board, FCPU the CPU fan. Labels are the user's language; ids are not.
static void offerEntry(Choice& choice, const char* id, const char* label, const char* value, int length)
{
    double number;
    if (!parseDecimal(value, length, number))
        return;
    if (labelEquals(id, "TCPUPKG"))
        choice.offerCpu(label, number, rank::package);
    else if (labelStartsWith(id, "TCC "))
        choice.offerCpu(label, number, rank::core);
    else if (labelEquals(id, "TCPU"))
        choice.offerCpu(label, number, rank::boardChipCpu);
    else if (labelEquals(id, "TMOBO"))
        choice.offerBoard(label, number, rank::motherboard);
    else if (labelEquals(id, "FCPU"))
        choice.offerFan(label, number, rank::cpuFan);
}

// Where needle starts in text[from, end), or -1.
static long find(const char* text, unsigned long end, unsigned long from, const char* needle)
{
    unsigned long size = 0;
    while (needle[size])
        ++size;
    for (unsigned long i = from; i < end && size <= end - i; ++i) {
        unsigned long j = 0;
        while (j < size && text[i + j] == needle[j])
            ++j;
        if (j == size)
            return static_cast<long>(i);
    }
    return -1;
}

// The text between open and close inside text[from, end), cut to fit out.
static void field(const char* text, unsigned long from, unsigned long end, const char* open, const char* close,
                  char* out, int size)
{
    out[0] = '\0';
    long start = find(text, end, from, open);
    if (start < 0)
        return;
    unsigned long first = static_cast<unsigned long>(start);
    while (*open++)
        ++first;
    long stop = find(text, end, first, close);
    if (stop < 0)
        return;
    int n = 0;
    for (unsigned long i = first; i < static_cast<unsigned long>(stop) && n < size - 1; ++i)
        out[n++] = text[i];
    out[n] = '\0';
}

// "<sys><id>SDATE</id>...</sys><temp><id>TCPU</id><label>CPU</label><value>53</value></temp>
// <fan>...</fan>": the text ends at its first zero byte, or with the mapping when it has none.
bool readAidaMemory(const Published& published, Choice& choice)
{
    const char* text = published.bytes.chars();
    unsigned long length = 0;
    while (length < published.bytes.length() && text[length])
        ++length;
    static const char* const kinds[][2] = {{"<temp>", "</temp>"}, {"<fan>", "</fan>"}};
    for (const auto& kind : kinds) {
        unsigned long at = 0;
        for (;;) {
            long start = find(text, length, at, kind[0]);
            long end = start < 0 ? -1 : find(text, length, static_cast<unsigned long>(start), kind[1]);
            if (end < 0)
                break;
            char id[16], label[sensorNameLength], value[24];
            unsigned long from = static_cast<unsigned long>(start), to = static_cast<unsigned long>(end);
            field(text, from, to, "<id>", "</id>", id, sizeof id);
            field(text, from, to, "<label>", "</label>", label, sizeof label);
            field(text, from, to, "<value>", "</value>", value, sizeof value);
            offerEntry(choice, id, label, value, sizeof value);
            at = to;
        }
    }
    return true;
}

// Value.TCPU = "52", Label.TCPU = "CPU", one pair for each value the user lets AIDA64 share.
bool readAidaRegistry(const Published& published, Choice& choice)
{
    for (int i = 0; i < published.fieldCount; ++i) {
        const Field& value = published.fields[i];
        if (!labelStartsWith(value.name, "Value."))
            continue;
        char labelName[sizeof value.name] = "Label.";
        int n = 6;
        for (const char* id = value.name + 6; *id && n < static_cast<int>(sizeof labelName) - 1; ++id)
            labelName[n++] = *id;
        labelName[n] = '\0';
        offerEntry(choice, value.name + 6, published.text(0, labelName), value.text, sizeof value.text);
    }
    return true;
}
