#include "sensors/system/diagnosis.h"

#include "core/decimal_text.h"

static bool contains(const char* text, char c)
{
    for (; *text; ++text)
        if (*text == c)
            return true;
    return false;
}

static char* describe(char* out, char* last, const char* what, const Reading& reading, long rounds)
{
    out = appendText(out, last, what);
    out = appendText(out, last, " ");
    out = appendNumber(out, last, reading.found ? reading.value : 0);
    if (reading.found) {
        out = appendText(out, last, " from ");
        out = appendText(out, last, reading.source ? reading.source : "?");
        // A monitor's sensor name is quoted; the hwmon files' account (coretemp "Package
        // id 0") quotes its own label.
        bool quoted = reading.sensor[0] && !contains(reading.sensor, '"');
        if (reading.sensor[0])
            out = appendText(out, last, ", ");
        if (quoted)
            out = appendText(out, last, "\"");
        out = appendText(out, last, reading.sensor);
        if (quoted)
            out = appendText(out, last, "\"");
    } else {
        out = appendText(out, last, rounds > 0 ? ": no running monitor publishes it"
                                               : ": not looked for yet (the first round takes a few seconds)");
    }
    return appendText(out, last, "\r\n");
}

// What a user who sees three zeros needs: the monitors whose data the sources read, each with
// the one setting that makes it publish (res/README.txt says more about each), then those that
// need none. Lines short enough for a console and for the setup's finish page.
static char* listMonitors(char* out, char* last, const Source* table, int count)
{
    out = appendText(out, last,
                     "Nothing yet: no hardware monitor is running, so 0 for now.\r\n"
                     "Any of these works, with the one setting it needs:\r\n");
    for (int i = 0; i < count; ++i)
        if (table[i].listed && contains(table[i].listed, ':'))
            out = appendText(appendText(appendText(out, last, "  "), last, table[i].listed), last, "\r\n");
    int column = 0;
    for (int i = 0; i < count; ++i) {
        const char* name = table[i].listed;
        if (!name || contains(name, ':'))
            continue;
        int length = 0;
        while (name[length])
            ++length;
        const char* gap = column == 0 ? "  " : column + length > 60 ? ",\r\n  " : ", ";
        column = (column == 0 || column + length > 60 ? 2 : column + 2) + length;
        out = appendText(appendText(out, last, gap), last, name);
    }
    if (column > 0)
        out = appendText(out, last, ": no setting\r\n");
    return appendText(out, last, "Quellor picks the values up within seconds of one starting, with no restart.\r\n");
}

void describeReadings(const Source* table, int count, const Readings& chosen, long rounds, char* text, int size)
{
    if (size <= 0)
        return;
    char* last = text + size - 1;
    text[0] = '\0';
    // Only once every source was asked: before that, nothing found is not yet known.
    if (rounds > 0 && !chosen.cpu.found && !chosen.mb.found && !chosen.fan.found) {
        listMonitors(text, last, table, count);
        return;
    }
    char* out = describe(text, last, "CPU", chosen.cpu, rounds);
    out = describe(out, last, "MB", chosen.mb, rounds);
    describe(out, last, "Fan", chosen.fan, rounds);
}
