#include "sensors/system/published.h"

#include "sensors/system/labels.h"
#include "sensors/system/numbers.h"

static bool sameName(const char* a, const char* b)
{
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

static const Field* find(const Published& published, int row, const char* name)
{
    for (int i = 0; i < published.fieldCount; ++i)
        if (published.fields[i].row == row && sameName(published.fields[i].name, name))
            return &published.fields[i];
    return nullptr;
}

const char* Published::text(int row, const char* name) const
{
    const Field* field = find(*this, row, name);
    return field ? field->text : "";
}

bool Published::number(int row, const char* name, double& value) const
{
    const Field* field = find(*this, row, name);
    if (field && field->numeric) {
        value = field->number;
        return true;
    }
    return field && parseDecimal(field->text, sizeof field->text, value);
}

Field::Field(int row, const char* name) : row(row), number(0), numeric(false)
{
    copyLabel(this->name, sizeof this->name, name, sizeof this->name);
    text[0] = '\0';
}

void Field::setText(const char* from, unsigned long length)
{
    copyLabel(text, sizeof text, from, length);
}

void FieldList::add(const Field& field)
{
    if (count < capacity)
        fields[count++] = field;
}

void FieldList::addNumber(int row, const char* name, double number)
{
    Field field(row, name);
    field.number = number;
    field.numeric = true;
    add(field);
}

void FieldList::publish(Published& published) const
{
    published.fields = fields;
    published.fieldCount = count;
}

bool fieldFromRegistry(unsigned long type, const unsigned char* data, unsigned long size, Field& field)
{
    const unsigned long text = 1, expandableText = 2, dword = 4; // REG_SZ, REG_EXPAND_SZ, REG_DWORD
    field.numeric = false;
    if (type == text || type == expandableText) {
        field.setText(reinterpret_cast<const char*>(data), size);
        return true;
    }
    if (type != dword || size != 4)
        return false;
    unsigned long value = 0;
    Bytes(data, size).u32(0, value);
    field.number = value;
    field.numeric = true;
    field.text[0] = '\0';
    return true;
}

// FNV-1a: any change of a byte changes it, almost surely.
static unsigned long hashOf(const Bytes& bytes)
{
    unsigned long hash = 2166136261ul;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.chars());
    for (unsigned long i = 0; i < bytes.length(); ++i)
        hash = ((hash ^ data[i]) * 16777619ul) & 0xFFFFFFFFul;
    return hash;
}

bool ChangeWatch::fresh(const Bytes& bytes, unsigned now, unsigned unchangedFor)
{
    unsigned long current = hashOf(bytes);
    if (!seen || current != hash) {
        seen = true;
        hash = current;
        changedAt = now;
    }
    return now - changedAt < unchangedFor;
}
