#include "ccxpbutton.h"
#include "designfonts.h"
#include "frmmain.h"
#include "picturebox.h"
#include "qtbenchmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>

#include <memory>

namespace {

// Tells when a window has painted its first frame.
class FirstPaint : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
};

// Shows the window and returns once it has painted.
void showUntilPainted(QWidget &window)
{
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    while (!watcher.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    window.removeEventFilter(&watcher);
}

int childWidgetCount()
{
    frmMain window;
    return int(window.findChildren<QWidget *>().size());
}

void BM_SaveGraph(benchmark::State &state)
{
    installDesignFonts();
    QTemporaryDir folder;
    frmMain window;
    window.move(benchmarkScreen(int(state.range(0)))->geometry().topLeft());
    window.setPictureFolder(folder.path());
    showUntilPainted(window);
    auto *buffer = window.findChild<PictureBox *>(QStringLiteral("Picture1"));
    const QString path = folder.filePath(QStringLiteral("graph1.bmp"));
    for (auto _ : state)
        frmMain::SaveFormImageToFile(&window, buffer, path);
    state.SetLabel(QStringLiteral("%1x%2").arg(buffer->image().width()).arg(buffer->image().height()).toStdString());
}
BENCHMARK(BM_SaveGraph)->Apply(atBothResolutions)->Apply(medianOfTen);

// Start-up to the first painted frame: the main window against a bare window
// of the same size with as many child widgets.
void BM_StartUpMainWindow(benchmark::State &state)
{
    installDesignFonts();
    for (auto _ : state) {
        frmMain window;
        showUntilPainted(window);
    }
}
BENCHMARK(BM_StartUpMainWindow)->Apply(medianOfTen);

void BM_StartUpBareWindow(benchmark::State &state)
{
    const int children = childWidgetCount();
    const QSize size = frmMain().size();
    for (auto _ : state) {
        QWidget window;
        window.setFixedSize(size);
        for (int i = 0; i < children; ++i)
            (new QWidget(&window))->setGeometry(i % 40 * 28, i / 40 * 28, 24, 24);
        showUntilPainted(window);
    }
    state.counters["children"] = children;
}
BENCHMARK(BM_StartUpBareWindow)->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
