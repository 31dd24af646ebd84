#include "sensors/system/text_formats.h"

#include "sensors/system/labels.h"
#include "sensors/system/units.h"

static int lengthOf(const char* text)
{
    int length = 0;
    while (text[length])
        ++length;
    return length;
}

static bool endsWith(const char* text, const char* end)
{
    int length = lengthOf(text), tail = lengthOf(end);
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length >= tail && labelStartsWith(text + length - tail, end);
}

// Degrees in either unit, by the text's last letter.
static double celsiusOf(double value, const char* text)
{
    return endsWith(text, "F") ? celsiusFromFahrenheit(value) : value;
}

void offerAidaEntry(SensorChoice& choice, const char* id, const char* label, const char* value)
{
    double number;
    if (!parseDecimal(value, lengthOf(value), number))
        return;
    if (labelEquals(id, "TCPUPKG"))
        choice.offerCpu(label, number, 5);
    else if (labelEquals(id, "TCPU"))
        choice.offerCpu(label, number, 1);
    else if (labelEquals(id, "TMOBO"))
        choice.offerBoard(label, number, 2);
    else if (labelEquals(id, "FCPU"))
        choice.offerFan(label, number, 4);
}

// Where needle starts in text[from, length), or -1.
static long find(const char* text, unsigned long length, unsigned long from, const char* needle)
{
    unsigned long size = static_cast<unsigned long>(lengthOf(needle));
    for (unsigned long i = from; i < length && size <= length - i; ++i) {
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
    unsigned long first = static_cast<unsigned long>(start + lengthOf(open));
    long stop = find(text, end, first, close);
    if (stop < 0)
        return;
    int n = 0;
    for (unsigned long i = first; i < static_cast<unsigned long>(stop) && n < size - 1; ++i)
        out[n++] = text[i];
    out[n] = '\0';
}

void parseAidaXml(const char* text, unsigned long length, SensorChoice& choice)
{
    static const char* const kinds[][2] = {{"<temp>", "</temp>"}, {"<fan>", "</fan>"}};
    for (const auto& kind : kinds) {
        unsigned long at = 0;
        for (;;) {
            long start = find(text, length, at, kind[0]);
            if (start < 0)
                break;
            long end = find(text, length, static_cast<unsigned long>(start), kind[1]);
            if (end < 0)
                break;
            char id[16], label[sensorNameLength], value[24];
            field(text, static_cast<unsigned long>(start), static_cast<unsigned long>(end), "<id>", "</id>", id,
                  sizeof id);
            field(text, static_cast<unsigned long>(start), static_cast<unsigned long>(end), "<label>", "</label>",
                  label, sizeof label);
            field(text, static_cast<unsigned long>(start), static_cast<unsigned long>(end), "<value>", "</value>",
                  value, sizeof value);
            offerAidaEntry(choice, id, label, value);
            at = static_cast<unsigned long>(end);
        }
    }
}

void offerGadgetEntry(SensorChoice& choice, const char* sensor, const char* label, const char* raw, const char* value)
{
    double number;
    if (!parseDecimal(raw, lengthOf(raw), number))
        return;
    bool graphics = labelStartsWith(sensor, "GPU");
    if (endsWith(value, "RPM"))
        choice.offer(Quantity::Fan, label, number, graphics);
    else if (endsWith(value, "C") || endsWith(value, "F"))
        choice.offer(Quantity::Temperature, label, celsiusOf(number, value), graphics);
}

namespace {

constexpr int maxDepth = 64;

// What the parse keeps of each object it is inside.
struct Node {
    bool graphics; // this node or one above it is a graphics card
    char text[sensorNameLength];
    char type[16];
    char value[32];
    char raw[32];
};

// A JSON string at text[at] (just past its opening quote), unescaped into out (cut to fit,
// "\u00b0" as the ANSI degree sign); returns the position after the closing quote, or length
// when there is none.
unsigned long readString(const char* text, unsigned long length, unsigned long at, char* out, int size)
{
    int n = 0;
    while (at < length && text[at] != '"') {
        char c = text[at++];
        if (c == '\\' && at < length) {
            c = text[at++];
            if (c == 'u') {
                unsigned code = 0;
                for (int digit = 0; digit < 4 && at < length; ++digit, ++at) {
                    char h = text[at];
                    code = code * 16
                        + static_cast<unsigned>(h >= '0' && h <= '9' ? h - '0'
                                                 : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                                 : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                                        : 0);
                }
                c = code < 0x100 ? static_cast<char>(code) : '?';
            } else if (c == 'n' || c == 't' || c == 'r' || c == 'b' || c == 'f') {
                c = ' ';
            }
        }
        if (n < size - 1)
            out[n++] = c;
    }
    out[n] = '\0';
    return at < length ? at + 1 : length;
}

void copy(char* to, int size, const char* from)
{
    int n = 0;
    for (; from[n] && n < size - 1; ++n)
        to[n] = from[n];
    to[n] = '\0';
}

void offerNode(const Node& node, SensorChoice& choice)
{
    const char* shown = node.raw[0] ? node.raw : node.value;
    double number;
    if (!node.text[0] || !parseDecimal(shown, lengthOf(shown), number))
        return;
    bool fan = labelEquals(node.type, "Fan") || (!node.type[0] && endsWith(shown, "RPM"));
    bool temperature = labelEquals(node.type, "Temperature") || (!node.type[0] && (endsWith(shown, "C") || endsWith(shown, "F")));
    if (fan)
        choice.offer(Quantity::Fan, node.text, number, node.graphics);
    else if (temperature)
        choice.offer(Quantity::Temperature, node.text, celsiusOf(number, shown), node.graphics);
}

} // namespace

void parseMonitorJson(const char* text, unsigned long length, SensorChoice& choice)
{
    static Node stack[maxDepth]; // only the worker parses
    int depth = 0;          // objects open
    bool expectKey = false; // the next string in the innermost object is a key
    char key[16] = "", string[64];
    unsigned long at = 0;
    while (at < length) {
        char c = text[at++];
        if (c == '{') {
            if (depth == maxDepth)
                return; // nothing real nests this deep
            Node& node = stack[depth];
            node = Node{};
            node.graphics = depth > 0 && stack[depth - 1].graphics;
            ++depth;
            expectKey = true;
        } else if (c == '}') {
            if (depth == 0)
                return;
            offerNode(stack[--depth], choice);
            expectKey = false;
        } else if (c == ',') {
            expectKey = depth > 0;
        } else if (c == '[' || c == ']') {
            expectKey = false;
        } else if (c == '"' || (!expectKey && ((c >= '0' && c <= '9') || c == '-'))) {
            if (c == '"') {
                at = readString(text, length, at, string, sizeof string);
            } else { // a bare number: some monitors write their values so
                int n = 0;
                string[n++] = c;
                while (at < length && n < static_cast<int>(sizeof string) - 1
                       && ((text[at] >= '0' && text[at] <= '9') || text[at] == '.' || text[at] == 'e'
                           || text[at] == 'E' || text[at] == '+' || text[at] == '-'))
                    string[n++] = text[at++];
                string[n] = '\0';
            }
            if (depth == 0)
                continue;
            if (expectKey) {
                copy(key, sizeof key, string);
                expectKey = false;
                continue;
            }
            Node& node = stack[depth - 1];
            if (labelEquals(key, "Text"))
                copy(node.text, sizeof node.text, string);
            else if (labelEquals(key, "Type"))
                copy(node.type, sizeof node.type, string);
            else if (labelEquals(key, "Value"))
                copy(node.value, sizeof node.value, string);
            else if (labelEquals(key, "RawValue"))
                copy(node.raw, sizeof node.raw, string);
            else if (labelEquals(key, "ImageURL"))
                node.graphics = node.graphics || labelContains(string, "nvidia.png") || labelContains(string, "ati.png")
                    || labelContains(string, "icon/intel.png") || labelContains(string, "gpu");
            key[0] = '\0';
        }
    }
}
