#include "formpicture.h"

#include "formdesign.h"
#include "graphfile.h"
#include "picturebox.h"
#include "twips.h"

#include <QWidget>

#include <cmath>

namespace FormPicture {

QRect area(QWidget *window)
{
    // The logical pixels that cover the picture's device pixels.
    const Resolution resolution = Resolution::of(window);
    const auto height = int(std::ceil(resolution.toPixelsY(FormDesign::CaptureClientHeight) / resolution.pixelRatio()));
    return QRect(0, 0, window->width(), qMin(window->height(), height));
}

QImage capture(QWidget *window)
{
    // In the device pixels of the window's screen, drawn as the screen shows
    // them: text in points at the size it has there.
    const Resolution resolution = Resolution::of(window);
    const QRect shown = area(window);
    QSize size = resolution.toDevicePixels(shown.size());
    size.setHeight(qMin(size.height(), resolution.toPixelsY(FormDesign::CaptureClientHeight)));
    QImage picture(size, QImage::Format_RGB32);
    resolution.applyTo(picture);
    window->render(&picture, QPoint(), QRegion(shown), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    // From here on a plain picture of device pixels at the device dpi.
    resolution.inDevicePixels().applyTo(picture);
    return picture;
}

void saveToFile(QWidget *window, PictureBox *buffer, const QString &path)
{
    const QImage picture = capture(window);
    GraphFile::writeBitmap(picture, path);

    buffer->hide();
    buffer->resize(picture.size());
    buffer->setImage(picture);
}

} // namespace FormPicture
