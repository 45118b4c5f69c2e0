#include "formpicture.h"

#include "formdesign.h"
#include "graphfile.h"
#include "picturebox.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QWidget>

#include <cmath>

namespace FormPicture {

namespace {

// 400 MB at 32 bits a pixel; the design's picture at 96 dpi has 0.6 million.
constexpr qint64 MaxPixels = 100'000'000;

} // namespace

QRect area(QWidget *window)
{
    // The logical pixels that cover the picture's device pixels.
    const Resolution resolution = Resolution::of(window);
    const auto height = int(std::ceil(resolution.toPixelsY(FormDesign::CaptureClientHeight) / resolution.pixelRatio()));
    return QRect(0, 0, window->width(), qMin(window->height(), height));
}

namespace {

// In the device pixels of the window's screen.
QSize pictureSize(QWidget *window)
{
    const Resolution resolution = Resolution::of(window);
    QSize size = resolution.toDevicePixels(area(window).size());
    size.setHeight(qMin(size.height(), resolution.toPixelsY(FormDesign::CaptureClientHeight)));
    return size;
}

} // namespace

void verifySize(QWidget *window)
{
    const QSize size = pictureSize(window);
    if (qint64(size.width()) * size.height() <= MaxPixels)
        return;
    throw RuntimeError::overflow(QStringLiteral("The picture of the window would be %1 × %2 pixels at the screen's "
                                                "%3 dpi, more than the %4 million pixels a picture may have.")
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(qRound(Resolution::of(window).deviceDpiX()))
                                     .arg(MaxPixels / 1'000'000));
}

QImage capture(QWidget *window)
{
    // Drawn as the screen shows it: text in points at the size it has there.
    verifySize(window);
    const Resolution resolution = Resolution::of(window);
    QImage picture(pictureSize(window), QImage::Format_RGB32);
    if (picture.isNull())
        throw RuntimeError::overflow(QStringLiteral("There is not enough memory for the picture of the window."));
    resolution.applyTo(picture);
    window->render(&picture, QPoint(), QRegion(area(window)), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    // From here on a plain picture of device pixels at the device dpi.
    resolution.inDevicePixels().applyTo(picture);
    return picture;
}

void saveToFile(QWidget *window, PictureBox *buffer, const QByteArray &path)
{
    const QImage picture = capture(window);
    GraphFile::writeBitmap(picture, path);

    buffer->hide();
    buffer->resize(picture.size());
    buffer->setImage(picture);
}

} // namespace FormPicture
