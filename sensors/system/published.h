// What a source's access hands its monitor: the bytes of a mapping or a web answer, or named
// fields (registry values, WMI rows, counter instances, hwmon files). The access copies and
// bounds; only the monitor knows what the data means.
#pragma once

#include "sensors/system/bytes.h"
#include "sensors/system/choice.h"

// One named value. Text is always terminated, cut to fit; number holds a numeric value when
// numeric is set (a registry DWORD, a WMI number, a counter).
struct Field {
    int row;       // the WMI row or counter instance it belongs to; 0 for registry values
    char name[32]; // "Label0", "SensorType"
    char text[80];
    double number;
    bool numeric;

    Field() = default; // trivial, so that an access may keep a static array of them
    Field(int row, const char* name); // no text, no number
    void setText(const char* from, unsigned long length = sizeof text);
};

struct Published {
    const char* address = ""; // the mapping, key, namespace, counter or file it came from
    Bytes bytes{nullptr, 0};
    const Field* fields = nullptr;
    int fieldCount = 0;
    long long now = 0; // seconds since 1970, for the monitors that date what they publish

    // The text of the first field of that name in row, or "".
    const char* text(int row, const char* name) const;
    // Its number, when numeric, else the number its text starts with; false when neither.
    bool number(int row, const char* name, double& value) const;
};

// A parser turns what a monitor published through one source into offers; false when it does
// not recognise the data as its monitor's, or the monitor has marked it stale.
using Parser = bool (*)(const Published& published, Choice& choice);

// An access's fields, in storage of its own; what does not fit is left out.
class FieldList {
public:
    constexpr FieldList(Field* fields, int capacity) : fields(fields), capacity(capacity) {}
    void add(const Field& field);
    void addNumber(int row, const char* name, double number);
    void publish(Published& published) const;

private:
    Field* fields;
    int capacity;
    int count = 0;
};

// A registry value as the registry handed it over: text values (REG_SZ, REG_EXPAND_SZ) end at
// their first zero or their size, whichever comes first, as no writer need terminate them;
// a REG_DWORD of four bytes is also a number. Any other type, a program's binary data for one,
// is false.
bool fieldFromRegistry(unsigned long type, const unsigned char* data, unsigned long size, Field& field);

// For a mapping whose monitor writes no time of its own: when none of its bytes changed for a
// minute or so, the monitor has quit and someone else holds the mapping open with its last values.
class ChangeWatch {
public:
    // False once the same bytes have been seen for unchangedFor ms (now: GetTickCount()).
    bool fresh(const Bytes& bytes, unsigned now, unsigned unchangedFor);

private:
    bool seen = false;
    unsigned long hash = 0;
    unsigned changedAt = 0;
};
