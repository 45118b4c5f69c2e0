#pragma once

#include "chartcolumn.h"
#include "formdesign.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A chart as a document: the heading and the two axis titles that stand
// above and beside it, and its columns in order. A new document is the chart
// the window shows at start.
struct ChartDocument
{
    // What a chart file names itself, and the newest version of its format
    // that this program reads and writes.
    static constexpr const char *FormatName = "plinthos-chart";
    static constexpr int FormatVersion = 1;

    QString heading = QString::fromUtf16(FormDesign::HeadingText);
    QString yAxisTitle = QString::fromUtf16(FormDesign::YAxisText);
    QString xAxisTitle = QString::fromUtf16(FormDesign::XAxisText);
    QList<ChartColumn> columns;

    bool operator==(const ChartDocument &) const = default;

    // The chart file: UTF-8 JSON, one line a column.
    QByteArray toJson() const;
    // Reads a chart file's text (UTF-8, no byte order mark). Throws
    // RuntimeError (InvalidFormat) naming source, the line or the JSON path
    // and the reason when it is no chart this program can read.
    static ChartDocument fromJson(const QByteArray &json, const QString &source);
};
