#pragma once

#include "chartcolumn.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

// Columns as a table of text, one row a column: the label, the value and,
// when given, the column's colour and its label's colour. This is CSV as
// RFC 4180 writes it, or the tab-separated text that a spreadsheet puts on
// the clipboard.
namespace ColumnTable {

// Reads the rows of text. The fields are separated by tabs when the first
// row holds a tab, else by commas (or by semicolons when the first row holds
// neither). A field in double quotes may hold separators, line breaks and
// doubled quotes. A first row whose value is no number (and that names no
// colour) is a header and is skipped; so are blank rows. A colour left out
// is the colour new columns start with. Throws RuntimeError (InvalidFormat)
// naming source, the line and the reason for the first row that cannot be
// read, or for more rows than a chart holds.
QList<ChartColumn> read(QStringView text, const QString &source);

// The columns as CSV: a header row, then label, value, colour and label
// colour, with CRLF line ends as RFC 4180 has them.
QByteArray toCsv(const QList<ChartColumn> &columns);

// The columns as a spreadsheet puts rows on the clipboard: a label, a tab
// and the value, one line a column, with no header. A label that holds a
// tab, a line break or a quote is in quotes, its quotes doubled, as read
// reads it back.
QString toText(const QList<ChartColumn> &columns);

} // namespace ColumnTable
