#include "fonts.h"

#include "numbers.h"
#include "twips.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QList>
#include <QtEndian>

#include <fontconfig/fontconfig.h>

#include <cmath>

namespace {

const QString ControlFace = QStringLiteral("MS Sans Serif");
constexpr double ControlPoints = 8.0;
constexpr double PointsPerInch = 72.0;
// A bitmap face's line is its strike's size: 8 pt at 96 dpi is the 13 px
// strike, 10 pt the 16 px one and 12 pt the 20 px one.
constexpr double LinePixelsPerPointAt96 = 13.0 / ControlPoints;
// Stands in for a bitmap face at a size it has no strike for.
const QStringList ScalableStandIns = {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")};

// The strikes (line heights in pixels) of each bitmap family registered.
QHash<QString, QList<int>> &bitmapStrikes()
{
    static QHash<QString, QList<int>> strikes;
    return strikes;
}

// Where the table with the tag starts in an sfnt font, or -1.
qsizetype tableStart(const QByteArray &font, QByteArrayView tag)
{
    constexpr int DirectoryStart = 12;
    constexpr int RecordSize = 16;
    if (font.size() < DirectoryStart)
        return -1;
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    if (font.size() < DirectoryStart + qsizetype(tables) * RecordSize)
        return -1;
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = DirectoryStart + qsizetype(i) * RecordSize;
        if (QByteArrayView(font.constData() + record, 4) == tag)
            return qFromBigEndian<quint32>(font.constData() + record + 8);
    }
    return -1;
}

// MS Sans Serif's standard ligatures join "TM" into a trademark sign and
// "..." into an ellipsis, which no text typed into a control means. The
// feature is renamed to the discretionary ligatures, which a shaper applies
// only when asked to: the face is shaped like any other, every script's text
// takes its joining forms, and Latin letters stay as typed.
void makeLigaturesDiscretionary(QByteArray &font)
{
    const qsizetype substitutions = tableStart(font, "GSUB");
    if (substitutions < 0 || substitutions + 10 > font.size())
        return;
    const qsizetype features = substitutions + qFromBigEndian<quint16>(font.constData() + substitutions + 6);
    if (features + 2 > font.size())
        return;
    const int count = qFromBigEndian<quint16>(font.constData() + features);
    for (int i = 0; i < count; ++i) {
        const qsizetype tag = features + 2 + qsizetype(i) * 6;
        if (tag + 4 <= font.size() && QByteArrayView(font.constData() + tag, 4) == "liga")
            std::copy_n("dlig", 4, font.data() + tag);
    }
}

// An sfnt font whose bitmaps come in several strikes registers with the first
// strike's size only. Each strike becomes a font of its own by a copy of the
// file whose bitmap location table lists just that strike: the table's
// offsets count from its own start, so moving a size record keeps them valid.
struct Strike
{
    int pixels;
    QByteArray font;
};

QList<Strike> splitStrikes(const QByteArray &font)
{
    constexpr int SizeTableStart = 8;
    constexpr int SizeRecordSize = 48;
    constexpr int PpemOffset = 45; // ppemY within a size record

    const auto read32 = [&font](qsizetype at) { return qFromBigEndian<quint32>(font.constData() + at); };
    qsizetype location = tableStart(font, "EBLC");
    if (location < 0)
        location = tableStart(font, "bloc");
    if (location < 0 || location + SizeTableStart > font.size())
        return {};
    const quint32 sizes = read32(location + 4);
    if (sizes < 2 || location + SizeTableStart + qsizetype(sizes) * SizeRecordSize > font.size())
        return {};

    QList<Strike> strikes;
    for (quint32 k = 0; k < sizes; ++k) {
        const qsizetype record = location + SizeTableStart + qsizetype(k) * SizeRecordSize;
        QByteArray single = font;
        qToBigEndian<quint32>(1, single.data() + location + 4);
        std::copy_n(font.constData() + record, SizeRecordSize, single.data() + location + SizeTableStart);
        strikes.append({quint8(font[record + PpemOffset]), single});
    }
    return strikes;
}

// The line height a bitmap face is asked for, in device pixels.
int linePixels(const QFont &font, const Resolution &resolution)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return int(roundHalfEven(font.pointSizeF() * LinePixelsPerPointAt96 * resolution.deviceDpiY() /
                             Resolution::StandardDpi));
}

} // namespace

FontConfigurationLoader::FontConfigurationLoader()
    : m_thread([] { FcInit(); })
{
}

void FontConfigurationLoader::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void registerBitmapFont(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray font = file.readAll();
    makeLigaturesDiscretionary(font);
    QList<Strike> strikes = splitStrikes(font);
    if (strikes.isEmpty()) {
        QFontDatabase::addApplicationFontFromData(font);
        return;
    }
    for (const Strike &strike : std::as_const(strikes)) {
        const int id = QFontDatabase::addApplicationFontFromData(strike.font);
        for (const QString &family : QFontDatabase::applicationFontFamilies(id))
            bitmapStrikes()[family].append(strike.pixels);
    }
}

QFont defaultControlFont(const Resolution &resolution)
{
    QFont font(ControlFace);
    font.setPointSizeF(ControlPoints);
    // Control text is crisp pixels in its colour, as a bitmap face draws it
    // anyway; a stand-in is drawn the same way.
    font.setStyleStrategy(QFont::NoAntialias);
    // Without the bitmap face, a stand-in still keeps the line 195 twips high.
    if (!bitmapStrikes().contains(ControlFace))
        return scalableStandIn(font, linePixels(font, resolution));
    return deviceFont(font, resolution);
}

QFont deviceFont(const QFont &font, const Resolution &resolution)
{
    const auto strikes = bitmapStrikes().constFind(font.family());
    if (strikes == bitmapStrikes().cend())
        return font;
    const int pixels = linePixels(font, resolution);
    if (!strikes->contains(pixels))
        return scalableStandIn(font, pixels);
    QFont native = font;
    native.setPixelSize(pixels);
    return native;
}

QFont toolkitControlFont(const Resolution &resolution)
{
    QFont font = defaultControlFont(resolution);
    if (resolution.pixelRatio() == 1)
        return font;
    // The toolkit would magnify a bitmap strike: a scalable face of its line
    // takes its place, at a size in points that makes the same device pixels.
    if (bitmapStrikes().contains(font.family()))
        font = scalableStandIn(font, font.pixelSize());
    font.setPointSizeF(font.pixelSize() * PointsPerInch / resolution.deviceDpiY());
    return font;
}

QFont fontForDevicePixels(const QFont &font, const Resolution &resolution)
{
    if (font.pointSizeF() <= 0 || resolution.pixelRatio() == 1)
        return font;
    QFont scaled = font;
    scaled.setPointSizeF(font.pointSizeF() * resolution.pixelRatio());
    return scaled;
}

bool isDrawnAtNativeSize(const QFont &font)
{
    const QFontInfo info(font);
    const auto strikes = bitmapStrikes().constFind(info.family());
    if (strikes == bitmapStrikes().cend())
        return QFontDatabase::isSmoothlyScalable(info.family(), info.styleName());
    return strikes->contains(info.pixelSize()) && info.pixelSize() == font.pixelSize();
}

QFont scalableStandIn(const QFont &font, int linePixels)
{
    QFont standIn = font;
    standIn.setFamilies(ScalableStandIns);
    const auto miss = [&standIn, linePixels](int pixels) {
        standIn.setPixelSize(pixels);
        return std::abs(QFontMetrics(standIn).height() - linePixels);
    };
    // The line grows with the size: start from the face's own proportion,
    // then look one pixel either side.
    standIn.setPixelSize(linePixels);
    const int guess = std::max(1, int(std::lround(double(linePixels) * linePixels / QFontMetrics(standIn).height())));
    int best = guess;
    for (const int candidate : {guess - 1, guess + 1}) {
        if (candidate >= 1 && miss(candidate) < miss(best))
            best = candidate;
    }
    standIn.setPixelSize(best);
    return standIn;
}
