#include "sensors/system/chips.h"
#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

namespace {

constexpr int maxDepth = 64;

// What the parse keeps of each object it is inside.
struct Node {
    bool graphics;             // this node or one above it is a graphics card
    const ChipFamily* family;  // this node or one above it is a board's chip of that family
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

// The N of a channel that a chip's monitor names only by its number ("Fan #2"), or 0.
int numberOf(const char* name, const char* kind)
{
    if (!labelStartsWith(name, kind))
        return 0;
    while (*kind)
        ++kind, ++name;
    int number = 0;
    for (; *name >= '0' && *name <= '9' && number < 100; ++name)
        number = number * 10 + (*name - '0');
    return *name ? 0 : number;
}

// One sensor, by its name, or, for a channel of a board's chip that has only a number, by
// where the chip's family has boards wire the CPU fan and the board's sensor: the same rows
// the hwmon rules read.
void offer(Choice& choice, Quantity quantity, const char* name, double value, bool graphics, const ChipFamily* family)
{
    bool onChip = family && !graphics;
    if (onChip && quantity == Quantity::Fan && value >= 0.5 && family->cpuFan > 0
        && numberOf(name, "Fan #") == family->cpuFan)
        choice.offerFan(name, value, rank::cpuHeader);
    else if (onChip && quantity == Quantity::Temperature && family->boardTemp > 0
             && numberOf(name, "Temperature #") == family->boardTemp)
        choice.offerBoard(name, value, rank::system);
    else
        choice.offer(quantity, name, value, graphics);
}

// What one sensor says: its name, its kind (by "Type", or by its unit where an older version
// writes none), and its value in degrees Celsius ("45,0 °C", "113.0 °F") or rpm.
void offerNode(const Node& node, Choice& choice)
{
    const char* value = node.raw[0] ? node.raw : node.value;
    double number;
    if (!node.text[0] || !parseDecimal(value, sizeof Node::value, number))
        return;
    const char* type = node.type;
    bool fan = labelEquals(type, "Fan") || (!type[0] && labelEndsWith(value, "RPM"));
    bool temperature = labelEquals(type, "Temperature")
        || (!type[0] && (labelEndsWith(value, "C") || labelEndsWith(value, "F")));
    if (fan)
        offer(choice, Quantity::Fan, node.text, number, node.graphics, node.family);
    else if (temperature)
        offer(choice, Quantity::Temperature, node.text,
              labelEndsWith(value, "F") ? celsiusFromFahrenheit(number) : number, node.graphics, node.family);
}

} // namespace

// The web server's data.json: a tree of nodes, each with its "Text", sensors also with a "Type"
// and their "Value" as the user sees it ("45,0 °C", "113.0 °F"), from 0.9.5 on also the
// "RawValue" in the sensor's own unit. A sensor under a graphics card's node is the card's.
// Parsed within the bytes given, with no recursion: a text cut short or full of unfinished
// objects ends the parse, not the program.
bool readMonitorJson(const Published& published, Choice& choice)
{
    const char* text = published.bytes.chars();
    unsigned long length = published.bytes.length();
    static Node stack[maxDepth]; // only the worker parses
    int depth = 0;          // objects open
    bool expectKey = false; // the next string in the innermost object is a key
    char key[16] = "", string[64];
    unsigned long at = 0;
    while (at < length) {
        char c = text[at++];
        if (c == '{') {
            if (depth == maxDepth)
                return true; // nothing real nests this deep
            Node& node = stack[depth];
            node = Node{};
            if (depth > 0) {
                const Node& parent = stack[depth - 1];
                node.graphics = parent.graphics;
                node.family = parent.family ? parent.family : chipFamily(parent.text);
            }
            ++depth;
            expectKey = true;
        } else if (c == '}') {
            if (depth == 0)
                return true;
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
                copyLabel(key, sizeof key, string);
                expectKey = false;
                continue;
            }
            Node& node = stack[depth - 1];
            if (labelEquals(key, "Text"))
                copyLabel(node.text, sizeof node.text, string);
            else if (labelEquals(key, "Type"))
                copyLabel(node.type, sizeof node.type, string);
            else if (labelEquals(key, "Value"))
                copyLabel(node.value, sizeof node.value, string);
            else if (labelEquals(key, "RawValue"))
                copyLabel(node.raw, sizeof node.raw, string);
            else if (labelEquals(key, "ImageURL"))
                node.graphics = node.graphics || labelContains(string, "nvidia.png") || labelContains(string, "ati.png")
                    || labelContains(string, "icon/intel.png") || labelContains(string, "gpu");
            key[0] = '\0';
        }
    }
    return true;
}

// The same sensors through WMI (LibreHardwareMonitor up to 0.9.4, Open Hardware Monitor): a row
// per sensor with its SensorType, Name, Value (a number, in degrees Celsius or rpm) and Parent,
// the hardware's id ("/lpc/nct6798d", "/intelcpu/0", "/nvidiagpu/0"), which also names a board
// chip's model. No row at all means the monitor quit and left its namespace behind.
bool readMonitorWmi(const Published& published, Choice& choice)
{
    bool any = false;
    for (int i = 0; i < published.fieldCount; ++i) {
        int row = published.fields[i].row;
        if (i > 0 && published.fields[i - 1].row == row)
            continue; // one visit per row
        any = true;
        const char* type = published.text(row, "SensorType");
        double value;
        if (!published.number(row, "Value", value))
            continue;
        const char* parent = published.text(row, "Parent"); // "/lpc/nct6798d"
        bool graphics = labelContains(parent, "gpu");
        const char* chip = parent;
        for (const char* at = parent; *at; ++at)
            if (*at == '/')
                chip = at + 1;
        const ChipFamily* family = labelStartsWith(parent, "/lpc/") ? chipFamily(chip) : nullptr;
        if (labelEquals(type, "Fan"))
            offer(choice, Quantity::Fan, published.text(row, "Name"), value, graphics, family);
        else if (labelEquals(type, "Temperature"))
            offer(choice, Quantity::Temperature, published.text(row, "Name"), value, graphics, family);
    }
    return any;
}
