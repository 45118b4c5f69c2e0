#include "picturemenu.h"

#include "formdialogs.h"
#include "formpicture.h"
#include "pictureexport.h"
#include "runtimeerror.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStandardPaths>
#include <QWidget>

namespace {

constexpr const char *DefaultFileName = "chart";

bool opensMenu(const QKeyEvent *key)
{
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
}

} // namespace

PictureMenu::PictureMenu(QWidget *window, QWidget *chart, QWidget *controlsFrame)
    : QObject(window)
    , m_window(window)
    , m_chart(chart)
    , m_controlsFrame(controlsFrame)
{
    setObjectName(QStringLiteral("PictureMenu"));
    m_menu = new QMenu(window);
    m_copy = m_menu->addAction(QStringLiteral("&Copy Picture"), this, &PictureMenu::copyPicture);
    m_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_copy->setShortcutContext(Qt::WindowShortcut);
    window->addAction(m_copy);
    m_save = m_menu->addAction(QStringLiteral("&Save Picture As…"), this, &PictureMenu::savePictureAs);

    m_chooseFile = [this](const QString &folder, const QString &filters, QString *selectedFilter) {
        return QFileDialog::getSaveFileName(m_window, QStringLiteral("Save Picture As"), folder, filters,
                                            selectedFilter);
    };

    chart->setFocusPolicy(Qt::ClickFocus);
    chart->installEventFilter(this);
    window->installEventFilter(this);
}

QString PictureMenu::picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

bool PictureMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_chart && event->type() == QEvent::KeyPress && opensMenu(static_cast<QKeyEvent *>(event))) {
        popup(m_chart->mapToGlobal(m_chart->rect().center()));
        return true;
    }
    // A context menu event that no child took (the chart, the labels, the
    // window itself) reaches the window with its position in the window.
    if (watched == m_window && event->type() == QEvent::ContextMenu) {
        auto *request = static_cast<QContextMenuEvent *>(event);
        if (request->reason() == QContextMenuEvent::Keyboard && m_chart->hasFocus()) {
            popup(m_chart->mapToGlobal(m_chart->rect().center()));
            return true;
        }
        if (request->reason() != QContextMenuEvent::Keyboard && inPictureArea(request->pos())) {
            popup(request->globalPos());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool PictureMenu::inPictureArea(QPoint windowPoint) const
{
    return m_window->rect().contains(windowPoint) && windowPoint.y() < m_controlsFrame->geometry().top();
}

void PictureMenu::popup(QPoint globalPoint)
{
    m_menu->popup(globalPoint);
}

void PictureMenu::copyPicture()
{
    QGuiApplication::clipboard()->setImage(FormPicture::capture(m_window));
}

void PictureMenu::savePictureAs()
{
    const QString folder = m_lastFolder.isEmpty() ? picturesFolder() : m_lastFolder;
    QString selectedFilter = QString::fromLatin1(PictureExport::fileTypes().front().filter);
    const QString chosen = m_chooseFile(QDir(folder).filePath(QString::fromLatin1(DefaultFileName)),
                                        PictureExport::filters(), &selectedFilter);
    FormDialogs::takeBackActivation(m_window);
    if (chosen.isEmpty())
        return;

    const PictureExport::Target target = PictureExport::target(chosen, selectedFilter);
    // The dialog asked about replacing the name as typed, not one with the
    // extension added.
    if (target.path != chosen && QFileInfo::exists(target.path)
        && !FormDialogs::confirm(m_window, QStringLiteral("%1 already exists.\n\nDo you want to replace it?")
                                               .arg(QDir::toNativeSeparators(target.path)))) {
        return;
    }
    try {
        PictureExport::writeFile(PictureExport::encode(m_window, target.format), target.path);
        m_lastFolder = QFileInfo(target.path).absolutePath();
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\nNothing was saved. Choose another folder or name and try again."));
    }
}
