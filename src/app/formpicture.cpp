#include "formpicture.h"

#include "formdesign.h"
#include "graphfile.h"
#include "picturebox.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QSignalBlocker>
#include <QWidget>

#include <cmath>
#include <utility>

namespace {

// While the picture is drawn, the window's text boxes draw as a box with
// nothing selected and without the focus does: no selection band, no caret.
// The user's focus, selection and caret stay as they are, and since nothing
// is painted on the screen meanwhile, nothing of this shows there.
class PlainTextBoxes
{
public:
    explicit PlainTextBoxes(QWidget *window)
    {
        for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
            if (box->hasSelectedText()) {
                // The selected text drawn in the colours of the rest.
                m_palettes.append({box, box->palette()});
                QPalette plain = box->palette();
                for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                    plain.setBrush(group, QPalette::Highlight, plain.brush(group, QPalette::Base));
                    plain.setBrush(group, QPalette::HighlightedText, plain.brush(group, QPalette::Text));
                }
                box->setPalette(plain);
            }
            if (box->hasFocus()) {
                m_focused = box;
                tellFocus(box, QEvent::FocusOut);
            }
        }
    }

    ~PlainTextBoxes()
    {
        if (m_focused && m_focused->hasFocus())
            tellFocus(m_focused, QEvent::FocusIn);
        for (const auto &[box, palette] : std::as_const(m_palettes)) {
            if (box)
                box->setPalette(palette);
        }
    }

    PlainTextBoxes(const PlainTextBoxes &) = delete;
    PlainTextBoxes &operator=(const PlainTextBoxes &) = delete;

private:
    // What a box is told when its window loses or regains activation: its
    // caret stops, or starts blinking again; its selection stays. Its
    // signals are held back, so that no handler takes this for editing
    // finished.
    static void tellFocus(QLineEdit *box, QEvent::Type type)
    {
        const QSignalBlocker quiet(box);
        QFocusEvent event(type, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(box, &event);
    }

    QPointer<QLineEdit> m_focused;
    QList<std::pair<QPointer<QLineEdit>, QPalette>> m_palettes;
};

} // namespace

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

void render(QWidget *window, QPainter *painter)
{
    const PlainTextBoxes plain(window);
    window->render(painter, QPoint(), QRegion(area(window)), QWidget::DrawWindowBackground | QWidget::DrawChildren);
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
    {
        QPainter painter(&picture);
        render(window, &painter);
    }
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
