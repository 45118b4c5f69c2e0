#pragma once

#include "chartdocument.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Charts in files: the chart file (*.plinthos), which holds all of a chart,
// and CSV or TSV tables, which hold its columns only.
namespace DocumentFile {

enum class Format {
    Chart, // versioned UTF-8 JSON: the heading, the axis titles and the columns
    Table, // CSV or TSV text: the columns
};

// The largest file taken for a chart; a hundred columns fill a few
// kilobytes.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

// What a file's name says it holds: a table for .csv, .tsv, .tab and .txt,
// a chart for .plinthos and .json, nothing for another name.
std::optional<Format> formatOfName(const QString &path);

// Reads a chart from the bytes of a file, UTF-8 with or without a byte
// order mark, as format or, with none given, as its text shows: a chart
// file starts with "{". A table gives a new chart with its columns.
// Throws RuntimeError (InvalidFormat) naming source, the line (or JSON path)
// and the reason when they hold no chart this program can read; *format
// then tells what was read.
ChartDocument parse(const QByteArray &bytes, const QString &source, std::optional<Format> format = std::nullopt,
                    Format *read = nullptr);

// Reads the file at path, as its name or else its text says. Throws
// RuntimeError: File when it cannot be read, InvalidFormat as parse does.
ChartDocument read(const QString &path, Format *read = nullptr);

// Reads a chart from an open file, standard input included, as parse does;
// no more than a chart can need is read.
ChartDocument read(QFile &file, const QString &source, std::optional<Format> format = std::nullopt,
                   Format *read = nullptr);

// The bytes of a file of that format: a table holds the columns only.
QByteArray encode(const ChartDocument &document, Format format);

} // namespace DocumentFile
