// The frame window of the script editor: a multiple-document frame holding the menus, the docks
// with their toolbars, the hidden tool windows and the dialogs, and the File, Edit and Window
// commands that act on the active document window.
#pragma once

#include "platform/app/Application.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "toolbars/DockBars.h"
#include "toolbars/ToolbarButton.h"

#include <array>
#include <string>

class TMDIChild;
class TAdSpeedButton;
class TFilenameEdit;
class TDirectoryEdit;
class TImage;
class TSpinEdit;
class TPanel;
class TLabel;

class TMainForm : public TForm {
public:
    using TForm::TForm;

    TStatusBar* StatusBar = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* FileCloseItem = nullptr;
    TMenuItem* FileSaveItem = nullptr;
    TMenuItem* FileSaveAsItem = nullptr;
    TMenuItem* Print1 = nullptr;
    TMenuItem* Window1 = nullptr;
    TMenuItem* WindowCascadeItem = nullptr;
    TMenuItem* WindowTileItem = nullptr;
    TMenuItem* WindowArrangeItem = nullptr;
    TMenuItem* WindowMinimizeItem = nullptr;
    TToolbarButton* Cut = nullptr;
    TToolbarButton* Copy1 = nullptr;
    TToolbarButton* Paste = nullptr;
    TToolbarButton* Save = nullptr;
    TToolbarButton* casc = nullptr;
    TToolWindow* syn = nullptr;
    TToolWindow* newfile = nullptr;
    // The wizards' windows (what they hold comes with the wizards themselves).
    TToolWindow* html = nullptr;
    TToolWindow* nmetadesc = nullptr;
    TToolWindow* metakey = nullptr;
    TToolWindow* js = nullptr;
    TToolWindow* unitwin = nullptr;
    TToolWindow* createunit = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

    // The function navigator's buttons.
    TToolbarButton* back = nullptr;
    TToolbarButton* forward1 = nullptr;

    // The tag builders and the hidden buffers of the insertion commands.
    TToolWindow* bodytag = nullptr;
    TToolWindow* alertwin = nullptr;
    TToolWindow* promptwin = nullptr;
    TToolWindow* ancwin = nullptr;
    TToolWindow* hx = nullptr;
    TToolWindow* Newfunc = nullptr;
    TToolWindow* com1 = nullptr;
    TToolWindow* applet = nullptr;
    TToolWindow* sound = nullptr;
    TToolWindow* param = nullptr;
    TToolWindow* window = nullptr;
    TToolWindow* ToolWindow1 = nullptr;
    TToolWindow* conwin = nullptr;
    TToolWindow* imgwin = nullptr;
    TColorDialog* ColorDlg = nullptr; // the component "Color"
    TMemo* Memo1 = nullptr;           // in Newfunc, never shown
    TMemo* Memo2 = nullptr;           // in ToolWindow1, never shown
    TFilenameEdit* pic = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* ALinkColourLabel = nullptr;
    TLabel* LinkColourLabel = nullptr;
    TLabel* VLinkColourLabel = nullptr;
    TLabel* TextColourLabel = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit8 = nullptr;
    TEdit* Edit9 = nullptr;
    TEdit* Edit34 = nullptr;
    TEdit* Edit10 = nullptr;
    TEdit* Edit11 = nullptr;
    TEdit* Edit12 = nullptr;
    TEdit* Edit13 = nullptr;
    TEdit* Edit14 = nullptr;
    TEdit* Edit15 = nullptr;
    TEdit* Edit16 = nullptr;
    TEdit* Edit20 = nullptr;
    TFilenameEdit* FilenameEdit1 = nullptr;
    TEdit* Edit21 = nullptr;
    TEdit* Edit22 = nullptr;
    TFilenameEdit* FilenameEdit5 = nullptr;
    TEdit* Edit23 = nullptr;
    TEdit* Edit24 = nullptr;
    TEdit* Edit25 = nullptr;
    TFilenameEdit* FilenameEdit6 = nullptr;
    TEdit* Edit26 = nullptr;
    TEdit* Edit27 = nullptr;
    TEdit* Edit28 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TCheckBox* CheckBox4 = nullptr;
    TCheckBox* CheckBox5 = nullptr;
    TCheckBox* CheckBox6 = nullptr;
    TCheckBox* CheckBox7 = nullptr;
    TCheckBox* CheckBox8 = nullptr;
    TEdit* Edit35 = nullptr;
    TEdit* Edit36 = nullptr;
    TEdit* Edit37 = nullptr;
    TFilenameEdit* FilenameEdit7 = nullptr;
    TEdit* Edit38 = nullptr;
    TEdit* Edit39 = nullptr;
    TSpinEdit* SpinEdit1 = nullptr;
    TSpinEdit* SpinEdit2 = nullptr;

    // The active document window, or nullptr.
    TMDIChild* ActiveDocument() const;
    // A new document window captioned Name (a full path or "Untitled"); it becomes the active one.
    TMDIChild* NewChildWindow(const std::string& Name);
    // Save and Save As for one document: true when its text was written (false when the user
    // cancelled the Save dialog).
    bool SaveDocument(TMDIChild* Child);
    bool SaveDocumentAs(TMDIChild* Child);

    bool CloseQuery() override;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void HintToStatusBar(TObject* Sender);
    void UpdateMenuItems(TObject* Sender);

    void FileNewItemClick(TObject* Sender);
    void FileOpenItemClick(TObject* Sender);
    void FileCloseItemClick(TObject* Sender);
    void FileSaveItemClick(TObject* Sender);
    void FileSaveAsItemClick(TObject* Sender);
    void Print1Click(TObject* Sender);
    void PrintSetup1Click(TObject* Sender);
    void SyntaxWindow1Click(TObject* Sender);
    void FileExitItemClick(TObject* Sender);
    void CutItemClick(TObject* Sender);
    void CopyItemClick(TObject* Sender);
    void PasteItemClick(TObject* Sender);
    void SelectAll1Click(TObject* Sender);
    void ViewClipboard1Click(TObject* Sender);
    void Browsers1Click(TObject* Sender);
    void UnitPallet1Click(TObject* Sender);
    void WindowCascadeItemClick(TObject* Sender);
    void WindowTileItemClick(TObject* Sender);
    void WindowArrangeItemClick(TObject* Sender);
    void WindowMinimizeItemClick(TObject* Sender);
    void Close1Click(TObject* Sender);
    void HelpAboutItemClick(TObject* Sender);
    void Contents1Click(TObject* Sender);
    void SearchForHelpOn1Click(TObject* Sender);
    void HowtoUseHelp1Click(TObject* Sender);

    // Toolbar buttons.
    void ToolbarButton1Click(TObject* Sender);
    void SaveClick(TObject* Sender);
    void ToolbarButton3Click(TObject* Sender);
    void CutClick(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void PasteClick(TObject* Sender);
    void configClick(TObject* Sender);
    void close123Click(TObject* Sender);
    void ToolbarButton19Click(TObject* Sender);
    void ToolbarButton20Click(TObject* Sender);
    void ToolbarButton17Click(TObject* Sender);
    void ToolbarButton48Click(TObject* Sender);
    // The New Files toolbar: each shows its wizard and hides the chooser, except the UNIT one.
    void ToolbarButton23Click(TObject* Sender);
    void ToolbarButton45Click(TObject* Sender);
    void ToolbarButton46Click(TObject* Sender);
    void ToolbarButton47Click(TObject* Sender);
    void ToolbarButton49Click(TObject* Sender);
    void ToolbarButton50Click(TObject* Sender);
    void UNITHelpAboutFiles1Click(TObject* Sender);

    // ---- Insertion into the active document (nothing happens without one) ----
    // Replaces the selection (the caret when nothing is selected); the caret ends after Text.
    void InsertText(const std::string& Text);
    // Open + the selection + Close in place of the selection.
    void WrapSelection(const std::string& Open, const std::string& Close);
    // Pastes what Buffer holds through the clipboard (cut from the buffer, or copied), so the
    // clipboard keeps the block; the document's selection is replaced.
    void PasteBuffer(TMemo* Buffer, bool Cut);

    // Fixed tags and texts.
    void HTML2Click(TObject* Sender);
    void HEAD2Click(TObject* Sender);
    void TITLE2Click(TObject* Sender);
    void H12Click(TObject* Sender);
    void H22Click(TObject* Sender);
    void H32Click(TObject* Sender);
    void H42Click(TObject* Sender);
    void H52Click(TObject* Sender);
    void H62Click(TObject* Sender);
    void BR1Click(TObject* Sender);
    void HR1Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void TR1Click(TObject* Sender);
    void TD1Click(TObject* Sender);
    void documentwrite1Click(TObject* Sender);
    void ToolbarButton37Click(TObject* Sender);
    void Date1Click(TObject* Sender);
    void Time1Click(TObject* Sender);
    void TimeDate1Click(TObject* Sender);
    // The selection between an opening and a closing tag.
    void ToolbarButton2Click(TObject* Sender);
    void ToolbarButton16Click(TObject* Sender);
    void ToolbarButton15Click(TObject* Sender);
    void ToolbarButton14Click(TObject* Sender);
    void ToolbarButton13Click(TObject* Sender);
    void ToolbarButton11Click(TObject* Sender);
    void ToolbarButton10Click(TObject* Sender);
    void ToolbarButton9Click(TObject* Sender);
    void ToolbarButton8Click(TObject* Sender);
    void ToolbarButton7Click(TObject* Sender);
    void ToolbarButton6Click(TObject* Sender);
    void ToolbarButton5Click(TObject* Sender);
    void ToolbarButton4Click(TObject* Sender);
    void ToolbarButton12Click(TObject* Sender);
    void UL2Click(TObject* Sender);
    void OL2Click(TObject* Sender);
    void DL2Click(TObject* Sender);
    // An opening tag before the selection.
    void LI2Click(TObject* Sender);
    void LH2Click(TObject* Sender);
    void DD2Click(TObject* Sender);
    void DIRMENUClick(TObject* Sender);
    void MENU2Click(TObject* Sender);
    void N4Click(TObject* Sender);
    // Showing the tag builders.
    void BODY2Click(TObject* Sender);
    void JavaScriptAlert1Click(TObject* Sender);
    void ToolbarButton42Click(TObject* Sender);
    void JavaScriptPrompt1Click(TObject* Sender);
    void ToolbarButton44Click(TObject* Sender);
    void A2Click(TObject* Sender);
    void HexadecimalColour1Click(TObject* Sender);
    void Function1Click(TObject* Sender);
    void ToolbarButton39Click(TObject* Sender);
    void Comment1Click(TObject* Sender);
    void ToolbarButton38Click(TObject* Sender);
    void APPLET1Click(TObject* Sender);
    void N5Click(TObject* Sender);
    void PARAM1Click(TObject* Sender);
    void windowopen1Click(TObject* Sender);
    void ToolbarButton41Click(TObject* Sender);
    void JavaScriptConfirm1Click(TObject* Sender);
    void ToolbarButton43Click(TObject* Sender);
    void IMG1Click(TObject* Sender);
    // The builders' OK buttons.
    void Button1Click(TObject* Sender);  // bodytag
    void Button3Click(TObject* Sender);  // alertwin
    void Button5Click(TObject* Sender);  // promptwin
    void Button7Click(TObject* Sender);  // ancwin
    void Button10Click(TObject* Sender); // hx
    void Button20Click(TObject* Sender); // applet
    void Button23Click(TObject* Sender); // sound
    void Button25Click(TObject* Sender); // param
    void Button27Click(TObject* Sender); // window
    void Button36Click(TObject* Sender); // imgwin
    // Their Hide and Cancel buttons.
    void Button2Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button13Click(TObject* Sender);
    void Button15Click(TObject* Sender);
    void Button21Click(TObject* Sender);
    void Button24Click(TObject* Sender);
    void Button26Click(TObject* Sender);
    void Button28Click(TObject* Sender);
    void Button35Click(TObject* Sender);
    void Button37Click(TObject* Sender);
    // Colour pickers of bodytag and hx.
    void AdSpeedButton2Click(TObject* Sender);
    void AdSpeedButton3Click(TObject* Sender);
    void AdSpeedButton4Click(TObject* Sender);
    void AdSpeedButton5Click(TObject* Sender);
    void AdSpeedButton6Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    // Blocks pasted through the clipboard.
    void ScriptTags1Click(TObject* Sender);
    void ToolbarButton40Click(TObject* Sender);
    void Button12Click(TObject* Sender); // Newfunc
    void Button14Click(TObject* Sender); // com1
    void Button34Click(TObject* Sender); // conwin

    // ---- UNIT palette buttons ----
    static constexpr int UnitButtonCount = 50;
    // The UNIT directory of one palette button and the paths of its script and glyph, as the
    // palette load fills them in.
    struct TUnitEntry {
        std::string Dir, JsPath, GlyphPath;
    };
    std::array<TUnitEntry, UnitButtonCount> UnitPalette;
    // Pastes the script of palette button Number (1-based, as its name q1..q50) through the
    // clipboard, its line breaks made CR LF; the clipboard gets it even without a document. A
    // script that cannot be read raises the file error.
    void PasteUnitScript(int Number);
    template <int Number> void qClick(TObject*) { PasteUnitScript(Number); }

    // ---- Browser preview (named browsers and the default one) ----
    void iebuttonClick(TObject* Sender);
    void ToolbarButton22Click(TObject* Sender);
    void ToolbarButton21Click(TObject* Sender);
    void PreviewinDefaultBrowser1Click(TObject* Sender);

    // ---- UNIT palette load, the Create New UNIT wizard and the UNIT help viewer ----
    TEdit* Edit40 = nullptr;
    TEdit* Edit41 = nullptr;
    TMemo* Memo15 = nullptr;
    TLabel* Label66 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TOpenDialog* OpenDialog2 = nullptr;
    // Reads each button's directory from lib.ini and loads its glyph; unassigned buttons are
    // left empty and a glyph that does not load leaves its button empty. What went wrong is shown
    // in one box, and the same problems are not shown again until a load goes cleanly, so
    // activations (closing that box among them) never repeat it.
    void LoadUnitPalette();
    void Button39Click(TObject* Sender); // Create
    void Button40Click(TObject* Sender); // Cancel
    void SpeedButton1Click(TObject* Sender);
    void Button38Click(TObject* Sender); // Load Help File

    // ---- Function navigator ----
    void forward1Click(TObject* Sender);
    void backClick(TObject* Sender);
    // Selects the next "function" standing as a word, or the previous one when Sender is the
    // back button; a message tells when there is none.
    void findin(TObject* Sender);

    // ---- Page and file wizards (the chooser, META, JavaScript and HTML page files) ----
    TImage* Image4 = nullptr;
    TImage* Image5 = nullptr;
    TImage* Image6 = nullptr;
    TImage* Image7 = nullptr;
    TImage* Image8 = nullptr;
    TImage* Image9 = nullptr;
    TImage* Image10 = nullptr;
    TMemo* Memo3 = nullptr;
    TMemo* Memo4 = nullptr;
    TMemo* Memo5 = nullptr;
    TMemo* Memo6 = nullptr;
    TMemo* Memo7 = nullptr;
    TMemo* Memo8 = nullptr;
    TMemo* Memo9 = nullptr;
    TDirectoryEdit* DirectoryEdit1 = nullptr;
    TDirectoryEdit* DirectoryEdit2 = nullptr;
    TDirectoryEdit* DirectoryEdit3 = nullptr;
    TDirectoryEdit* DirectoryEdit4 = nullptr;
    TEdit* Edit17 = nullptr;
    TEdit* Edit18 = nullptr;
    TEdit* Edit19 = nullptr;
    TEdit* Edit29 = nullptr;
    TEdit* Edit30 = nullptr;
    TEdit* Edit31 = nullptr;
    TEdit* Edit32 = nullptr;
    TEdit* Edit33 = nullptr;
    TEdit* Filenameedit2 = nullptr;
    TEdit* Filenameedit3 = nullptr;
    TEdit* Filenameedit4 = nullptr;
    TMemo* Memo10 = nullptr;
    TMemo* Memo11 = nullptr;
    TMemo* Memo12 = nullptr;
    TMemo* Memo14 = nullptr;
    TMemo* main = nullptr;
    TMemo* m2 = nullptr;
    TMemo* m3 = nullptr;
    TMemo* m4 = nullptr;
    TSaveDialog* SaveDialog2 = nullptr;
    TOpenDialog* OpenDialog3 = nullptr;

    // A single click shows or hides the picture's info memo; a double click opens its wizard.
    void Image4Click(TObject* Sender);
    void Image5Click(TObject* Sender);
    void Image6Click(TObject* Sender);
    void Image7Click(TObject* Sender);
    void Image8Click(TObject* Sender);
    void Image9Click(TObject* Sender);
    void Image10Click(TObject* Sender);
    void Image4DblClick(TObject* Sender);
    void Image5DblClick(TObject* Sender);
    void Image6DblClick(TObject* Sender);
    void Image7DblClick(TObject* Sender);
    void Image8DblClick(TObject* Sender);
    void Image9DblClick(TObject* Sender);
    void Image10DblClick(TObject* Sender);
    void Button22Click(TObject* Sender); // chooser Cancel
    void Button30Click(TObject* Sender); // metakey OK
    void Button31Click(TObject* Sender);
    void Button17Click(TObject* Sender); // nmetadesc OK
    void Button18Click(TObject* Sender);
    void Button32Click(TObject* Sender); // js OK
    void Button33Click(TObject* Sender);
    void Button16Click(TObject* Sender); // html OK
    void Button19Click(TObject* Sender);
    void Button29Click(TObject* Sender); // bodytag Save
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    // Writes Buffer's text to the path of a directory and a file-name field and opens the file
    // as a new document; Wizard is hidden afterwards.
    void WriteWizardFile(TMemo* Buffer, TDirectoryEdit* Dir, TEdit* FileName, TToolWindow* Wizard);
    // Runs OpenDialog3 and puts the chosen name into Field.
    void BrowseTemplate(TEdit* Field);
    static void ToggleInfo(TMemo* Info);

private:
    // A tool window missing from the form is simply not shown.
    static void ShowTool(TToolWindow* Window);
    static void HideTool(TToolWindow* Window);
    void ShowWizard(TToolWindow* Wizard, bool HideChooser);
    // Writes the active document's text to its preview file; "" without a document.
    std::string WritePreviewFile();
    // Previews in the browser program stored under Key of browser.ini; FailMessage when it
    // cannot be started.
    void PreviewInBrowser(const std::string& Key, const std::string& FailMessage);
    std::string FShownPaletteProblems;
    // Runs the colour dialog and gives its colour as quoted hexadecimal text.
    std::string PickQuotedColour(TColor& Picked);
};

extern TMainForm* MainForm;

// Registers a file type with the shell (in the program's registry): Extension's key names
// TypeName, whose key holds Description, the optional DefaultIcon and the open command
// `Program "%1"`. Nothing is written when the extension (without dots) or the program is empty.
void RegisterFileType(std::string Extension, std::string TypeName, const std::string& Description,
                      const std::string& Icon, const std::string& Program);
