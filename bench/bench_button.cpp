#include "ccxpbutton.h"
#include "controlsite.h"
#include "designfonts.h"
#include "fonts.h"
#include "propertybag.h"
#include "qtbenchmain.h"

#include <QTest>

#include <memory>

namespace {

// The "Add Column" button of the main window: 1335 x 1215 twips (89 x 81
// pixels at 96 dpi, 134 x 122 at 144), Verdana 9.75, shown on a form of its
// own on a screen of that resolution and holding the focus, so that the looks
// that draw a focus rectangle draw it.
struct HostedButton
{
    explicit HostedButton(int dpi)
    {
        installDesignFonts();
        form.move(benchmarkScreen(dpi)->geometry().topLeft());
        form.resize(300, 300);
        button = new ccXPButton(&form);
        button->setSite(new FormSite(button, QStringLiteral("CcXAddColumn"), button));
        button->Initialize();
        button->ReadProperties(PropertyBag::fromText(QStringLiteral(
            "caption = \"Add Column\"\nfont = Font(\"Verdana\", 9.75, 400, 0, False, False, False)\n")));
        form.show();
        const Resolution resolution = Resolution::of(&form);
        button->setGeometry(10, 10, resolution.toPixelsX(1335), resolution.toPixelsY(1215));
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
        button->setFocus();
        QCoreApplication::processEvents();
    }

    QWidget form;
    ccXPButton *button = nullptr;
};

void BM_DrawButton(benchmark::State &state)
{
    HostedButton hosted(int(state.range(1)));
    const auto look = ButtonState(state.range(0));
    if (!hosted.button->hasFocus()) {
        state.SkipWithError("the button did not get the focus");
        return;
    }
    for (auto _ : state)
        hosted.button->DrawButton(look);
    const QSize size = hosted.button->size();
    state.SetLabel(QStringLiteral("%1 %2x%3")
                       .arg(QStringList{"Disabled", "Normal", "Focused", "Hot", "Pressed"}.at(int(look)))
                       .arg(size.width())
                       .arg(size.height())
                       .toStdString());
}
BENCHMARK(BM_DrawButton)->ArgNames({"state", "dpi"})->ArgsProduct({{0, 1, 2, 3, 4}, {96, 144}})->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
