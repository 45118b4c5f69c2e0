#pragma once

#include "colours.h"
#include "fontobject.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>

// The name-keyed store in which a form keeps a hosted control's design-time
// properties. Keys are matched without regard to case; every read gives a
// default, and a value written equal to its default is not stored. Values are
// text (QString), integers (int), booleans (bool) and fonts (FontDescription).
class PropertyBag
{
public:
    QVariant read(const QString &key, const QVariant &defaultValue = {}) const;
    // Throws RuntimeError (TypeMismatch) for a value of any other type.
    void write(const QString &key, const QVariant &value, const QVariant &defaultValue = {});

    bool contains(const QString &key) const;
    QStringList keys() const;
    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // The plain text form: one "key = value" line per entry, in the order of
    // writing. Text is quoted ("Add Column"), integers are plain (2355),
    // booleans are True or False, fonts are Font("Verdana", 9.75, 400, 0,
    // False, False, False): name, size, weight, charset, italic, underline,
    // strikethrough. Blank lines and lines starting with # are ignored.
    QString toText() const;
    // Throws RuntimeError (InvalidFormat) naming the line that cannot be read.
    static PropertyBag fromText(const QString &text);

private:
    struct Entry
    {
        QString key;
        QVariant value;
    };
    const Entry *find(const QString &key) const;

    QList<Entry> m_entries;
};

// Conversions of a bag value to the type a property needs, as the form
// runtime makes them (an integer reads as text, "True" as a boolean, ...).
// A value that cannot be converted throws RuntimeError (TypeMismatch).
namespace BagValue {
QString toText(const QVariant &value);
bool toBool(const QVariant &value);
std::int32_t toLong(const QVariant &value);
OleColor toColour(const QVariant &value);
FontDescription toFont(const QVariant &value);
} // namespace BagValue
