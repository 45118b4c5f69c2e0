#include "picturemenu.h"

#include "atomicfile.h"
#include "chartclipboard.h"
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
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>
#include <QWidget>

namespace {

constexpr const char *DefaultFileName = "chart";

// The dialog's size in characters and lines of its font: room for the side
// bar and the name, size, type and date of a file. A bitmap face's own average
// width says little, so the average is taken over a sample of text.
constexpr QSize DialogSizeInCharacters(120, 32);
constexpr QStringView SampleText = u"0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool opensMenu(const QKeyEvent *key)
{
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
}

bool isReturn(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The file dialog of Save Picture As. It asks no question of its own about
// replacing a file: Save Picture As asks about the file it will write, which
// may have an extension added. A name too long for the folder gets a message,
// where the dialog itself would only turn its Save button off.
class PictureFileDialog : public QFileDialog
{
public:
    PictureFileDialog(QWidget *parent, const QString &path, const QString &filters)
        : QFileDialog(parent, QStringLiteral("Save Picture As"), path, filters)
    {
        setAcceptMode(AcceptSave);
        setOption(DontConfirmOverwrite);
        if (auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->installEventFilter(this);
        // The columns follow what they show, rather than widths made for
        // short texts at 96 dpi, also when a file's size and date come in
        // after its name.
        if (auto *view = findChild<QTreeView *>(QStringLiteral("treeView"))) {
            QHeaderView *header = view->header();
            header->setStretchLastSection(false);
            header->setSectionResizeMode(0, QHeaderView::Stretch);
            for (int column = 1; column < header->count(); ++column)
                header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }

    void accept() override
    {
        if (nameFits())
            QFileDialog::accept();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (isReturn(event) && !nameFits())
            return true;
        return QFileDialog::eventFilter(watched, event);
    }

    void showEvent(QShowEvent *event) override
    {
        // Sized once its screen, and so its font's size, is known.
        const QFontMetrics metrics(font(), this);
        const QSize wanted(metrics.horizontalAdvance(SampleText.toString()) * DialogSizeInCharacters.width() / int(SampleText.size()),
                           metrics.lineSpacing() * DialogSizeInCharacters.height());
        resize(wanted.expandedTo(size()).boundedTo(screen()->availableGeometry().size() * 0.9));
        QFileDialog::showEvent(event); // places it over the window
        FormDialogs::keepOnScreen(this);
    }

private:
    bool nameFits()
    {
        const QString chosen = selectedFiles().value(0);
        if (chosen.isEmpty())
            return true;
        const QFileInfo file(PictureExport::target(chosen, selectedNameFilter()).path);
        const QByteArray name = QFile::encodeName(file.fileName());
        const int limit = AtomicFile::nameLengthLimit(QFile::encodeName(file.absolutePath()));
        if (name.size() <= limit)
            return true;
        FormDialogs::showError(this, QStringLiteral("The name %1 is too long: a file name in this folder can have at "
                                                    "most %2 bytes, and this one has %3.\n\nChoose a shorter name.")
                                         .arg(file.fileName())
                                         .arg(limit)
                                         .arg(name.size()));
        return false;
    }
};

QString filterOf(PictureExport::Format format)
{
    for (const PictureExport::FileType &type : PictureExport::fileTypes()) {
        if (type.format == format)
            return QString::fromLatin1(type.filter);
    }
    return {};
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

    m_chooseFile = [this](const QString &path, const QString &filters, QString *selectedFilter) {
        PictureFileDialog dialog(m_window, path, filters);
        dialog.selectNameFilter(*selectedFilter);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        *selectedFilter = dialog.selectedNameFilter();
        return dialog.selectedFiles().value(0);
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

bool PictureMenu::pictureCanBeMade(const QString &otherwise)
{
    try {
        FormPicture::verifySize(m_window);
        return true;
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\n") + otherwise);
        return false;
    }
}

void PictureMenu::copyPicture()
{
    const QString otherwise = QStringLiteral("Nothing was copied.");
    if (!pictureCanBeMade(otherwise))
        return;
    try {
        const ChartDocument document = m_document ? m_document() : ChartDocument();
        QGuiApplication::clipboard()->setMimeData(ChartClipboard::copy(m_window, document).release());
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\n") + otherwise);
    }
}

void PictureMenu::savePictureAs()
{
    if (!pictureCanBeMade(QStringLiteral("Nothing was saved.")))
        return;
    const std::optional<PictureExport::Target> target = chooseTarget();
    if (!target)
        return;
    try {
        PictureExport::writeFile(PictureExport::encode(m_window, target->format), target->path);
        m_lastFolder = QFileInfo(target->path).absolutePath();
        m_lastFilter = filterOf(target->format);
    } catch (const AtomicFile::WriteError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\n")
                                             + AtomicFile::advice(error.problem(), QStringLiteral("name")));
    } catch (const RuntimeError &error) {
        FormDialogs::showError(m_window, error.message() + QStringLiteral("\n\nNothing was saved."));
    }
}

// The file to write, asked for in the dialog, with one question about the
// file that will be written if something is there; No goes back to the
// dialog. Nothing when the user cancels.
std::optional<PictureExport::Target> PictureMenu::chooseTarget()
{
    QString selectedFilter = m_lastFilter.isEmpty() ? filterOf(PictureExport::fileTypes().front().format) : m_lastFilter;
    QString start = QDir(m_lastFolder.isEmpty() ? picturesFolder() : m_lastFolder).filePath(QString::fromLatin1(DefaultFileName));
    for (;;) {
        const QString chosen = m_chooseFile(start, PictureExport::filters(), &selectedFilter);
        FormDialogs::takeBackActivation(m_window);
        if (chosen.isEmpty())
            return std::nullopt;
        const PictureExport::Target target = PictureExport::target(chosen, selectedFilter);
        const QByteArray path = QFile::encodeName(target.path);
        const AtomicFile::Occupant occupant = AtomicFile::occupant(path);
        if (occupant.kind == AtomicFile::Occupant::Nothing || occupant.kind == AtomicFile::Occupant::Folder
            || FormDialogs::confirm(m_window, AtomicFile::describeOccupant(path, occupant)
                                                  + QStringLiteral("\n\nDo you want to replace it?"))) {
            return target;
        }
        start = chosen;
    }
}
