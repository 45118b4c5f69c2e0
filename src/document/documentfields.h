#pragma once

#include "colours.h"
#include "runtimeerror.h"

#include <QString>
#include <QStringView>

#include <cstdint>

// The fields of a column as a document or a table holds them, and the
// errors of a text that cannot be read.
namespace DocumentFields {

// The colours of a column whose row names none: those the window's entry
// swatches start with.
OleColor defaultColour();
OleColor defaultLabelColour();

// Each reader gives the reason the text is no such field (empty when it
// is one) and stores the field otherwise.
//
// A value follows the rules of the window's value box: the number at the
// start of the text, rounded half to even into -32768 ... 32767.
QString readValue(QStringView text, std::int16_t *value);
QString readValue(double number, std::int16_t *value);
// A colour is "#RRGGBB" or a palette colour's name ("light grey").
QString readColour(QStringView text, OleColor *colour);
QString colourText(OleColor colour);
// A label or a title holds what a text box takes, 32767 characters; the
// reason when the text is longer, empty otherwise.
QString checkTextLength(QStringView text);

// The error of a text that cannot be read, in one line that names its
// source (a file, or the pasted text), the place in it ("line 3",
// "columns[2].value"; none for the whole) and the reason.
RuntimeError readError(const QString &source, const QString &place, const QString &reason);
QString linePlace(int line);
// As much of a text as a message quotes: a field of a hostile file may be
// megabytes long.
QString excerpt(QStringView text);

} // namespace DocumentFields
