#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

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

// What one sensor says: its name, its kind (by "Type", or by its unit where an older version
// writes none), and its value in degrees Celsius ("45,0 °C", "113.0 °F") or rpm.
void offerSensor(Choice& choice, const char* name, const char* type, const char* value, bool graphics)
{
    double number;
    if (!name[0] || !parseDecimal(value, sizeof Node::value, number))
        return;
    bool fan = labelEquals(type, "Fan") || (!type[0] && labelEndsWith(value, "RPM"));
    bool temperature = labelEquals(type, "Temperature")
        || (!type[0] && (labelEndsWith(value, "C") || labelEndsWith(value, "F")));
    if (fan)
        choice.offer(Quantity::Fan, name, number, graphics);
    else if (temperature)
        choice.offer(Quantity::Temperature, name, labelEndsWith(value, "F") ? celsiusFromFahrenheit(number) : number,
                     graphics);
}

void offerNode(const Node& node, Choice& choice)
{
    offerSensor(choice, node.text, node.type, node.raw[0] ? node.raw : node.value, node.graphics);
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
            node.graphics = depth > 0 && stack[depth - 1].graphics;
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
// the hardware's id ("/lpc/nct6798d", "/intelcpu/0", "/nvidiagpu/0"). No row at all means the
// monitor quit and left its namespace behind.
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
        bool graphics = labelContains(published.text(row, "Parent"), "gpu");
        if (labelEquals(type, "Fan"))
            choice.offer(Quantity::Fan, published.text(row, "Name"), value, graphics);
        else if (labelEquals(type, "Temperature"))
            choice.offer(Quantity::Temperature, published.text(row, "Name"), value, graphics);
    }
    return any;
}
