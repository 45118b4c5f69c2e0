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
// pixels at 96 dpi, 134 x 122 at 144, 178 x 162 device pixels at 192 dpi and
// at 96 dpi x 2), Verdana 9.75, shown on a form of its own on a screen of
// that resolution and holding the focus, so that the looks that draw a focus
// rectangle draw it.
struct HostedButton
{
    HostedButton(int dpi, qreal ratio)
    {
        installDesignFonts();
        form.move(benchmarkScreen(dpi, ratio)->geometry().topLeft());
        form.resize(300, 300);
        button = new ccXPButton(&form);
        button->setSite(new FormSite(button, QStringLiteral("CcXAddColumn"), button));
        button->Initialize();
        button->ReadProperties(PropertyBag::fromText(QStringLiteral(
            "caption = \"Add Column\"\nfont = Font(\"Verdana\", 9.75, 400, 0, False, False, False)\n")));
        form.show();
        const Resolution resolution = Resolution::of(&form);
        button->setGeometry(10, 10, resolution.toLogicalX(1335), resolution.toLogicalY(1215));
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
    HostedButton hosted(int(state.range(1)), qreal(state.range(2)));
    const auto look = ButtonState(state.range(0));
    if (!hosted.button->hasFocus()) {
        state.SkipWithError("the button did not get the focus");
        return;
    }
    for (auto _ : state)
        hosted.button->DrawButton(look);
    const QSize size = hosted.button->surface().size();
    state.SetLabel(QStringLiteral("%1 %2x%3")
                       .arg(QStringList{"Disabled", "Normal", "Focused", "Hot", "Pressed"}.at(int(look)))
                       .arg(size.width())
                       .arg(size.height())
                       .toStdString());
}
// At 192 dpi and at 96 dpi x 2 the button has the same device pixels.
BENCHMARK(BM_DrawButton)
    ->ArgNames({"state", "dpi", "ratio"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {96, 144, 192}, {1}})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {192}, {2}})
    ->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
