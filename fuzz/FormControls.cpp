// The form reader over the real classes of the programs' windows: standard controls, menus,
// pictures and glyphs by resource name, fonts, image lists, the colouring memo's rules, tool
// bars. Any description reads into a form cleanly or raises an Exception, and afterwards no
// component is left loading and the form frees everything it holds.
#include "components/addons/AdCombos.h"
#include "components/addons/AdCtrls.h"
#include "components/addons/AdShell.h"
#include "components/addons/BalloonHint.h"
#include "components/addons/ClipView.h"
#include "components/colour-memo/ColMemo.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/app/AppMain.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ScrollBox.h"
#include "platform/controls/Spin.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/TabNotBk.h"
#include "toolbars/DockBars.h"
#include "toolbars/ToolbarButton.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerRunDriver(int* argc, char*** argv,
                                   int (*UserCb)(const std::uint8_t* Data, std::size_t Size));

// The classes the headers above do not already keep linked: the form reader creates them by
// name only, so nothing else would pull in the units that register them.
TW_LINK_CLASS(TLabel);
TW_LINK_CLASS(TButton);
TW_LINK_CLASS(TCheckBox);
TW_LINK_CLASS(TRadioButton);
TW_LINK_CLASS(TGroupBox);
TW_LINK_CLASS(TScrollBar);
TW_LINK_CLASS(TPanel);
TW_LINK_CLASS(TImage);
TW_LINK_CLASS(TShape);
TW_LINK_CLASS(TBevel);
TW_LINK_CLASS(TPaintBox);
TW_LINK_CLASS(TTimer);
TW_LINK_CLASS(TNotebook);
TW_LINK_CLASS(TMainMenu);
TW_LINK_CLASS(TPopupMenu);
TW_LINK_CLASS(TMenuItem);
TW_LINK_CLASS(TOpenDialog);
TW_LINK_CLASS(TSaveDialog);
TW_LINK_CLASS(TColorDialog);
TW_LINK_CLASS(TFontDialog);
TW_LINK_CLASS(TPrintDialog);
TW_LINK_CLASS(TPrinterSetupDialog);
TW_LINK_CLASS(TScrollBox);
TW_LINK_CLASS(TTabbedNotebook);

namespace {

bool AnyLoading(TComponent* C)
{
    if (C->ComponentState().Contains(csLoading))
        return true;
    for (int I = 0; I < C->ComponentCount(); ++I)
        if (AnyLoading(C->Components(I)))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    auto* Form = new TForm(nullptr);
    try {
        ReadForm(Form, Text, "fuzz.form");
    } catch (const Exception& E) {
        // How far a seed gets: TW_FUZZ_VERBOSE=1 and the seed as the only input.
        if (std::getenv("TW_FUZZ_VERBOSE"))
            std::fprintf(stderr, "%s\n", E.Message().c_str());
    }
    if (AnyLoading(Form))
        __builtin_trap();
    Form->BeforeDestruction();
    delete Form;
    return 0;
}

// Controls need the application (fonts, the window table), so this target has its own start:
// the application first, then the fuzzer inside it.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return RunProgram(argc, argv, [&] { return LLVMFuzzerRunDriver(&argc, &argv, LLVMFuzzerTestOneInput); });
}
