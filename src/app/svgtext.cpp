#include "svgtext.h"

#include "runtimeerror.h"

#include <QFontInfo>
#include <QPaintDevice>
#include <QStringList>
#include <QTextLayout>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace SvgText {

namespace {

// The face a reader without the screen's face most likely draws in: Debian
// and most other systems have it, and the program draws Verdana in it. Tahoma
// is the program's own, which other programs do not find.
const QString CommonFace = QStringLiteral("DejaVu Sans");

constexpr double PointsPerInch = 72.0;

bool isXmlCharacter(char16_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
}

RuntimeError failure(const QString &reason)
{
    return RuntimeError(ErrorKind::File, QStringLiteral("The picture could not be encoded as SVG: %1.").arg(reason));
}

RuntimeError notXml(const QXmlStreamReader &reader)
{
    return failure(QStringLiteral("%1 on line %2").arg(reader.errorString()).arg(reader.lineNumber()));
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

// A family as CSS names it: a name of more than letters and hyphens quoted.
QString cssFamily(QString family)
{
    family.remove(u'\'').remove(u'\\');
    const bool plain = std::all_of(family.cbegin(), family.cend(), [](QChar c) { return c.isLetter() || c == u'-'; });
    return plain ? family : u'\'' + family + u'\'';
}

double pixelSize(const QFont &font, const QPaintDevice *device)
{
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * device->logicalDpiY() / PointsPerInch;
}

// How much wider the screen draws the run than a reader draws its text in
// DejaVu Sans at its size, with the face's own unrounded widths.
double commonFaceScale(const TextRun &run, const QString &text, double size, const QPaintDevice *device)
{
    QFont common(CommonFace);
    common.setPointSizeF(size * PointsPerInch / device->logicalDpiY());
    common.setWeight(run.font.weight());
    common.setItalic(run.font.italic());
    if (QFontInfo(common).family() != CommonFace)
        return 1;
    QTextLayout layout(text, common, device);
    QTextOption option;
    option.setUseDesignMetrics(true);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const qreal fitted = layout.lineAt(0).naturalTextWidth();
    return fitted > 0 ? run.width / fitted : 1;
}

// The run in place of its mark, which keeps its place and colour.
void writeRun(QXmlStreamWriter &out, const QXmlStreamAttributes &mark, const TextRun &run, const QPaintDevice *device)
{
    out.writeStartElement(QStringLiteral("text"));
    for (const QXmlStreamAttribute &attribute : mark) {
        if (!attribute.qualifiedName().startsWith(u"font-"))
            out.writeAttribute(attribute);
    }
    QStringList families{QFontInfo(run.font).family(), CommonFace, QStringLiteral("sans-serif")};
    families.removeDuplicates();
    std::transform(families.begin(), families.end(), families.begin(), cssFamily);
    const double size = pixelSize(run.font, device);
    out.writeAttribute(QStringLiteral("font-family"), families.join(QStringLiteral(", ")));
    out.writeAttribute(QStringLiteral("font-size"), number(size));
    out.writeAttribute(QStringLiteral("font-weight"), QString::number(run.font.weight()));
    out.writeAttribute(QStringLiteral("font-style"), run.font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"));
    const QString text = xmlText(run.text);
    if (run.width > 0 && !text.isEmpty()) {
        const double scale = commonFaceScale(run, text, size, device);
        out.writeAttribute(QStringLiteral("textLength"), number(run.width / scale));
        out.writeAttribute(QStringLiteral("lengthAdjust"), QStringLiteral("spacingAndGlyphs"));
        if (qAbs(scale - 1) > 1e-4) {
            // Scaled about the run's start.
            const double x = mark.value(QStringLiteral("x")).toDouble();
            out.writeAttribute(QStringLiteral("transform"),
                               QStringLiteral("matrix(%1 0 0 1 %2 0)").arg(number(scale), number(x * (1 - scale))));
        }
    }
    out.writeCharacters(text);
    out.writeEndElement();
    if (out.hasError())
        throw failure(QStringLiteral("a text could not be written"));
}

} // namespace

QString xmlText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // Every character beyond the first 65,536 is one XML holds.
            kept += c;
            kept += text.at(++i);
        } else if (!c.isSurrogate() && isXmlCharacter(c.unicode())) {
            kept += c;
        }
    }
    return kept;
}

QByteArray placeRuns(const QByteArray &svg, const QList<TextRun> &runs, const QPaintDevice *device)
{
    QXmlStreamReader in(svg);
    // Copied as written: the namespace declarations are attributes like any other.
    in.setNamespaceProcessing(false);
    QByteArray placed;
    QXmlStreamWriter out(&placed);
    while (!in.atEnd()) {
        in.readNext();
        if (in.hasError())
            break;
        if (in.isStartElement() && in.qualifiedName() == u"text") {
            const QXmlStreamAttributes mark = in.attributes();
            bool isNumber = false;
            const qsizetype index = in.readElementText().toLongLong(&isNumber);
            if (!isNumber || index < 0 || index >= runs.size())
                throw failure(QStringLiteral("a text of the picture was not drawn as written"));
            writeRun(out, mark, runs.at(index), device);
        } else {
            out.writeCurrentToken(in);
        }
    }
    if (in.hasError())
        throw notXml(in);

    // What a reader gets: read through once more, as any reader would.
    QXmlStreamReader check(placed);
    while (!check.atEnd())
        check.readNext();
    if (check.hasError())
        throw notXml(check);
    return placed;
}

} // namespace SvgText
