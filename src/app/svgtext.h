#pragma once

#include "scalabletextdevice.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QPaintDevice;

// The text of an SVG drawing, written so that any reader shows it where and
// as wide as the screen does, and so that the document stays XML.
namespace SvgText {

// The text as XML can hold it: every character it can hold stays as it is;
// those it cannot hold at all (control characters other than tab, line feed
// and carriage return, U+FFFE, U+FFFF and a surrogate without its pair) are
// left out. The screen draws none of them.
QString xmlText(const QString &text);

// The drawing with each run marked by ScalableTextDevice::markTextRuns put in
// its mark's place as text. Each run names its face, then DejaVu Sans and
// sans-serif, for readers without it; a textLength fixes its width to the
// screen's for readers that honour it, and a horizontal scale fits DejaVu
// Sans to that width for readers that do not. Sizes are measured on the
// device the drawing was made on. Throws RuntimeError (File) when the
// drawing, before or after, is not well-formed XML.
QByteArray placeRuns(const QByteArray &svg, const QList<TextRun> &runs, const QPaintDevice *device);

} // namespace SvgText
