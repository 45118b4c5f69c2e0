#include "ccxpbutton.h"
#include "controlsite.h"
#include "fonts.h"
#include "propertybag.h"
#include "qtbenchmain.h"

#include <QTest>

#include <memory>

namespace {

// The "Add Column" button of the main window: 89 x 81 pixels, Verdana 9.75,
// shown on a form of its own and holding the focus, so that the looks that
// draw a focus rectangle draw it.
struct HostedButton
{
    HostedButton()
    {
        installDesignFonts();
        form.resize(200, 200);
        button = new ccXPButton(&form);
        button->setSite(new FormSite(button, QStringLiteral("CcXAddColumn"), button));
        button->Initialize();
        button->ReadProperties(PropertyBag::fromText(QStringLiteral(
            "caption = \"Add Column\"\nfont = Font(\"Verdana\", 9.75, 400, 0, False, False, False)\n")));
        button->setGeometry(10, 10, 89, 81);
        form.show();
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
    HostedButton hosted;
    const auto look = ButtonState(state.range(0));
    if (!hosted.button->hasFocus()) {
        state.SkipWithError("the button did not get the focus");
        return;
    }
    for (auto _ : state)
        hosted.button->DrawButton(look);
    state.SetLabel(QStringList{"Disabled", "Normal", "Focused", "Hot", "Pressed"}.at(int(look)).toStdString());
}
BENCHMARK(BM_DrawButton)->DenseRange(0, 4)->Apply(medianOfTen);

} // namespace

PLINTHOS_BENCHMARK_MAIN()
