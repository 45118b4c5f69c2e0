#include "formpicture.h"

#include "formdesign.h"
#include "graphfile.h"
#include "picturebox.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QWidget>

namespace FormPicture {

namespace {

// 400 MB at 32 bits a pixel; the design's picture at 96 dpi has 0.6 million.
constexpr qint64 MaxPixels = 100'000'000;

} // namespace

QRect area(QWidget *window)
{
    const int height = Resolution::of(window).toPixelsY(FormDesign::CaptureClientHeight);
    return QRect(0, 0, window->width(), qMin(window->height(), height));
}

void verifySize(QWidget *window)
{
    const QSize size = area(window).size();
    if (qint64(size.width()) * size.height() <= MaxPixels)
        return;
    throw RuntimeError::overflow(QStringLiteral("The picture of the window would be %1 × %2 pixels at the screen's "
                                                "%3 dpi, more than the %4 million pixels a picture may have.")
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(qRound(Resolution::of(window).dpiX()))
                                     .arg(MaxPixels / 1'000'000));
}

QImage capture(QWidget *window)
{
    verifySize(window);
    const QRect shown = area(window);
    QImage picture(shown.size(), QImage::Format_RGB32);
    if (picture.isNull())
        throw RuntimeError::overflow(QStringLiteral("There is not enough memory for the picture of the window."));
    Resolution::of(window).applyTo(picture);
    window->render(&picture, QPoint(), QRegion(shown), QWidget::DrawWindowBackground | QWidget::DrawChildren);
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
