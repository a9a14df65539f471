// The main window: the document pane with the HTML colour rules, the to-do pane, the toolbar,
// the snippet gallery, the status bar, the dialogs and the tray icon, and every command of the
// main menu, the toolbar and the pop-up menus.
#pragma once

#include "components/addons/AdCtrls.h"
#include "components/addons/AdShell.h"
#include "components/addons/BalloonHint.h"
#include "components/colour-memo/ColMemo.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/controls/TabNotBk.h"
#include "platform/rtl/TextIO.h"

#include <string>

// The settings file the main window reads at each activation and the options window writes.
inline constexpr const char* SettingsFileName = "c:\\windows\\tqini.ini";
// The page the snippet preview is written to before the browser opens it.
inline constexpr const char* TestFileName = "test.html";

// Where Print sends the document: the printer as a text device. Tests put a failing device in
// to see that the job is ended whatever happens while it is written.
using TPrintDeviceAssign = void (*)(TextFile&);
extern TPrintDeviceAssign AssignPrintDevice;

class TForm1 : public TForm {
public:
    using TForm::TForm;

    TPanel* Panel1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TSpeedButton* SpeedButton5 = nullptr;
    TSpeedButton* SpeedButton6 = nullptr;
    TSpeedButton* SpeedButton7 = nullptr;
    TSpeedButton* SpeedButton8 = nullptr;
    TSpeedButton* SpeedButton9 = nullptr;
    TSpeedButton* SpeedButton10 = nullptr;
    TSpeedButton* SpeedButton11 = nullptr;
    TSpeedButton* SpeedButton12 = nullptr;
    TSpeedButton* SpeedButton13 = nullptr;
    TColorMemo* main = nullptr;
    TPanel* Panel2 = nullptr;
    TLabel* Label1 = nullptr;
    TAdSpeedButton* AdSpeedButton6 = nullptr;
    TAdSpeedButton* AdSpeedButton7 = nullptr;
    TTabbedNotebook* TabbedNotebook1 = nullptr;
    TColorMemo* todo = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TSaveDialog* SaveDialog2 = nullptr;
    TOpenDialog* OpenDialog2 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
    TBalloonHint* BalloonHint1 = nullptr;
    TAdTrayIcon* AdTrayIcon1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TPopupMenu* PopupMenu2 = nullptr;
    TPopupMenu* alerts = nullptr;
    TPopupMenu* buttons = nullptr;
    TPopupMenu* clock = nullptr;
    TPopupMenu* misc = nullptr;
    TPopupMenu* random = nullptr;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton8Click(TObject* Sender);
    void SpeedButton9Click(TObject* Sender);
    void SpeedButton10Click(TObject* Sender);
    void SpeedButton11Click(TObject* Sender);
    void SpeedButton12Click(TObject* Sender);
    void SpeedButton13Click(TObject* Sender);
    void AdSpeedButton6Click(TObject* Sender);
    void AdSpeedButton7Click(TObject* Sender);
    void New1Click(TObject* Sender);
    void Save1Click(TObject* Sender);
    void SaveAs1Click(TObject* Sender);
    void Print1Click(TObject* Sender);
    void PrintSetup1Click(TObject* Sender);
    void Find1Click(TObject* Sender);
    void Test1Click(TObject* Sender);
    void Undo1Click(TObject* Sender);
    void Cut1Click(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void Paste1Click(TObject* Sender);
    void SelectAll1Click(TObject* Sender);
    void ViewClipboard1Click(TObject* Sender);
    void AfterPagehasLoaded1Click(TObject* Sender);
    void ButtonClick1Click(TObject* Sender);
    void GoBackinHistory1Click(TObject* Sender);
    void LinkAlert1Click(TObject* Sender);
    void NewLocation1Click(TObject* Sender);
    void Alert1Click(TObject* Sender);
    void BackForward1Click(TObject* Sender);
    void Link1Click(TObject* Sender);
    void Reload1Click(TObject* Sender);
    void ViewSource1Click(TObject* Sender);
    void ClockandDate1Click(TObject* Sender);
    void Clockinabox1Click(TObject* Sender);
    void DigitalClockStatusBar1Click(TObject* Sender);
    void BreakoutofFrame1Click(TObject* Sender);
    void BrowserDiscrimination1Click(TObject* Sender);
    void FakeFormatofCDrive1Click(TObject* Sender);
    void LinkStatusDescription1Click(TObject* Sender);
    void PageReferral1Click(TObject* Sender);
    void PageUpdated1Click(TObject* Sender);
    void RainbowLettering1Click(TObject* Sender);
    void SimplePassword1Click(TObject* Sender);
    void TypeWriterStatusScroller1Click(TObject* Sender);
    void RandomQuote1Click(TObject* Sender);
    void RandomStatusBar1Click(TObject* Sender);
    void ColourPicker1Click(TObject* Sender);
    void RunTwoScriptsonOnLoad1Click(TObject* Sender);
    void Editor1Click(TObject* Sender);
    void Reference1Click(TObject* Sender);
    void Scribe1Click(TObject* Sender);
    void Contents1Click(TObject* Sender);
    void SearchfroHelpOn1Click(TObject* Sender);
    void HowtoUseHelp1Click(TObject* Sender);
    void HTMLTutorial1Click(TObject* Sender);
    void TamselontheWeb1Click(TObject* Sender);
    void JavaScriptLanguageReference1Click(TObject* Sender);
    void JavaScriptTutorials1Click(TObject* Sender);
    void ModernJavaScriptGuide1Click(TObject* Sender);
    void About1Click(TObject* Sender);
    void SavetodoList1Click(TObject* Sender);
    void OpenOldToDoList1Click(TObject* Sender);
    void Cut2Click(TObject* Sender);
    void Copy2Click(TObject* Sender);
    void Paste2Click(TObject* Sender);
    void SelectAll2Click(TObject* Sender);
    void ClearAll1Click(TObject* Sender);
    void About2Click(TObject* Sender);
    void Close1Click(TObject* Sender);
    void AfterPagehasloaded2Click(TObject* Sender);
    void ButtonClick2Click(TObject* Sender);
    void GoBackinHistory2Click(TObject* Sender);
    void LinkAlert2Click(TObject* Sender);
    void NewLocation2Click(TObject* Sender);
    void Alert2Click(TObject* Sender);
    void BackForward2Click(TObject* Sender);
    void Link2Click(TObject* Sender);
    void Reload2Click(TObject* Sender);
    void ViewSource2Click(TObject* Sender);
    void ClockandDate2Click(TObject* Sender);
    void ClockinaBox2Click(TObject* Sender);
    void DigitalClockStatusBar2Click(TObject* Sender);
    void BreakoutofFrame2Click(TObject* Sender);
    void BrowserDiscrimination2Click(TObject* Sender);
    void FakeFormatofCDrive2Click(TObject* Sender);
    void LinkStatusDescription2Click(TObject* Sender);
    void PageReferral2Click(TObject* Sender);
    void PageUpdated2Click(TObject* Sender);
    void RainbowLettering2Click(TObject* Sender);
    void SimplePassword2Click(TObject* Sender);
    void TypeWriterStatusScroller2Click(TObject* Sender);
    void RandomQuote2Click(TObject* Sender);
    void RandomStatusBar2Click(TObject* Sender);

    // The web addresses of the Help menu.
    static const char* const TamselSite;
    static const char* const JavaScriptReferenceSite;
    static const char* const JavaScriptTutorialSite;
    static const char* const JavaScriptGuideSite;

private:
    void OpenFile();
    void SaveFile();
    void SaveFileAs();
    void PrintFile();
    void TestFile();
    void OpenWebAddress(const char* Address);
};
TW_LINK_CLASS(TForm1);

extern TForm1* Form1;

// The file's name without its directory, as the status bar shows it.
std::string StatusFileName(const std::string& FileName);
