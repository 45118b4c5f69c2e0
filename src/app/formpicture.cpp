#include "formpicture.h"

#include "formdesign.h"
#include "graphfile.h"
#include "picturebox.h"
#include "twips.h"

#include <QWidget>

namespace FormPicture {

QRect area(QWidget *window)
{
    const int height = Resolution::of(window).toPixelsY(FormDesign::CaptureClientHeight);
    return QRect(0, 0, window->width(), qMin(window->height(), height));
}

QImage capture(QWidget *window)
{
    const QRect shown = area(window);
    QImage picture(shown.size(), QImage::Format_RGB32);
    Resolution::of(window).applyTo(picture);
    window->render(&picture, QPoint(), QRegion(shown), QWidget::DrawWindowBackground | QWidget::DrawChildren);
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
