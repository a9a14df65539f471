// The JavaScript scratch pane: a colouring pane with its own script rules that clears, opens and
// saves. Made at start-up from its stored description.
#pragma once

#include "components/colour-memo/ColMemo.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

class TForm17 : public TForm {
public:
    using TForm::TForm;
    TPanel* Panel1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TColorMemo* ColorMemo1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void Open1Click(TObject* Sender);
    void Save1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);

private:
    void OpenScript();
    void SaveScript();
};
TW_LINK_CLASS(TForm17);

extern TForm17* Form17;
