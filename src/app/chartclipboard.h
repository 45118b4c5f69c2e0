#pragma once

#include "chartcolumn.h"
#include "chartdocument.h"

#include <QList>

#include <memory>

class QMimeData;
class QWidget;

// The chart on the clipboard. Copy Picture puts one copy there that each
// kind of program takes in a type it reads: a picture program or an office
// suite as PNG, Windows bitmap or SVG, a spreadsheet as rows of text, and
// this program as the chart's own data, colours and all. Paste Columns reads
// it back, or rows of text that a spreadsheet copied.
namespace ChartClipboard {

// The chart's own data: the chart file's JSON.
inline constexpr char ChartType[] = "application/x-plinthos-chart";

// The window's picture as PNG, Windows bitmap and SVG, each with the bytes
// that Save Picture As writes, and as Qt's image. A chart with columns comes
// also as text, a label and a value a line (ColumnTable::toText), and as its
// own data. Throws RuntimeError as PictureExport::encode does.
std::unique_ptr<QMimeData> copy(QWidget *window, const ChartDocument &document);

// Whether the data offers columns to paste: the chart's own data or text.
bool holdsColumns(const QMimeData *data);

// The columns the data holds: those of the chart's own data when it is
// there, else those of the rows of its text. Throws RuntimeError
// (InvalidFormat) naming the line or JSON path and the reason when they
// cannot be read, or when it holds none.
QList<ChartColumn> columns(const QMimeData *data);

} // namespace ChartClipboard
