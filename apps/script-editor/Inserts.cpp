#include "apps/script-editor/Inserts.h"

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "components/addons/AdCtrls.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Spin.h"
#include "platform/rtl/SysUtils.h"

#include <utility>

namespace {
const std::string Dq = "\"";
}

std::string QuotedColorText(TColor Color)
{
    return Dq + "#" + ColorToHexText(Color) + Dq;
}

// ---- The three ways of putting text at the selection -----------------------------------------
void TMainForm::InsertText(const std::string& Text)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->SetSelText(Text);
}

void TMainForm::WrapSelection(const std::string& Open, const std::string& Close)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->SetSelText(Open + Child->ColorMemo1->SelText() + Close);
}

void TMainForm::PasteBuffer(TMemo* Buffer, bool Cut)
{
    // An empty block (an empty UNIT script) puts nothing on the clipboard, so pasting would
    // insert whatever the clipboard held before: nothing happens instead.
    if (Buffer->Text().empty())
        return;
    Buffer->SelectAll();
    if (Cut)
        Buffer->CutToClipboard();
    else
        Buffer->CopyToClipboard();
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->PasteFromClipboard();
}

// ---- Fixed texts --------------------------------------------------------------------------------
void TMainForm::HTML2Click(TObject*)
{
    InsertText("<HTML></HTML>");
}
void TMainForm::HEAD2Click(TObject*)
{
    InsertText("<HEAD></HEAD>");
}
void TMainForm::TITLE2Click(TObject*)
{
    InsertText("<TITLE></TITLE>");
}
void TMainForm::H12Click(TObject*)
{
    InsertText("<H1></H1>");
}
void TMainForm::H22Click(TObject*)
{
    InsertText("<H2></H2>");
}
void TMainForm::H32Click(TObject*)
{
    InsertText("<H3></H3>");
}
void TMainForm::H42Click(TObject*)
{
    InsertText("<H4></H4>");
}
void TMainForm::H52Click(TObject*)
{
    InsertText("<H5></H5>");
}
void TMainForm::H62Click(TObject*)
{
    InsertText("<H6></H6>");
}
void TMainForm::BR1Click(TObject*)
{
    InsertText("<BR>");
}
void TMainForm::HR1Click(TObject*)
{
    InsertText("<HR>");
}
void TMainForm::N3Click(TObject*)
{
    InsertText("<TABLE></TABLE>");
}
void TMainForm::TR1Click(TObject*)
{
    InsertText("<TR></TR>");
}
void TMainForm::TD1Click(TObject*)
{
    InsertText("<TD></TD>");
}
void TMainForm::documentwrite1Click(TObject*)
{
    InsertText("document.write(add here)");
}
void TMainForm::ToolbarButton37Click(TObject*)
{
    InsertText("document.write(add here)");
}
void TMainForm::Date1Click(TObject*)
{
    InsertText(DateToStr(Date()));
}
void TMainForm::Time1Click(TObject*)
{
    InsertText(TimeToStr(Time()));
}

void TMainForm::TimeDate1Click(TObject*)
{
    InsertText(DateToStr(Date()) + "-" + TimeToStr(Time()));
}

// ---- Tags around the selection -------------------------------------------------------------------
void TMainForm::ToolbarButton2Click(TObject*)
{
    WrapSelection("<B>", "</B>");
}
void TMainForm::ToolbarButton16Click(TObject*)
{
    WrapSelection("<I>", "</I>");
}
void TMainForm::ToolbarButton15Click(TObject*)
{
    WrapSelection("<U>", "</U>");
}
void TMainForm::ToolbarButton14Click(TObject*)
{
    WrapSelection("<BLINK>", "</BLINK>");
}
void TMainForm::ToolbarButton13Click(TObject*)
{
    WrapSelection("<STRONG>", "</STRONG>");
}
void TMainForm::ToolbarButton11Click(TObject*)
{
    WrapSelection("<KBD>", "</KBD>");
}
void TMainForm::ToolbarButton10Click(TObject*)
{
    WrapSelection("<VAR>", "</VAR>");
}
void TMainForm::ToolbarButton9Click(TObject*)
{
    WrapSelection("<STRIKE>", "</STRIKE>");
}
void TMainForm::ToolbarButton8Click(TObject*)
{
    WrapSelection("<CODE>", "</CODE>");
}
void TMainForm::ToolbarButton7Click(TObject*)
{
    WrapSelection("<DFN>", "</DFN>");
}
void TMainForm::ToolbarButton6Click(TObject*)
{
    WrapSelection("<TT>", "</TT>");
}
void TMainForm::ToolbarButton5Click(TObject*)
{
    WrapSelection("<EM>", "</EM>");
}
void TMainForm::ToolbarButton4Click(TObject*)
{
    WrapSelection("<SAMP>", "</SAMP>");
}
void TMainForm::ToolbarButton12Click(TObject*)
{
    WrapSelection("<CITE>", "</CITE>");
}
void TMainForm::UL2Click(TObject*)
{
    WrapSelection("<UL>", "</UL>");
}
void TMainForm::OL2Click(TObject*)
{
    WrapSelection("<OL>", "</OL>");
}
void TMainForm::DL2Click(TObject*)
{
    WrapSelection("<DL>", "</DL>");
}

// ---- Opening tags before the selection ----------------------------------------------------------
void TMainForm::LI2Click(TObject*)
{
    WrapSelection("<LI>", "");
}
void TMainForm::LH2Click(TObject*)
{
    WrapSelection("<LH>", "");
}
void TMainForm::DD2Click(TObject*)
{
    WrapSelection("<DD>", "");
}
void TMainForm::DIRMENUClick(TObject*)
{
    WrapSelection("<DIR>", "");
}
void TMainForm::MENU2Click(TObject*)
{
    WrapSelection("<MENU>", "");
}
void TMainForm::N4Click(TObject*)
{
    WrapSelection("<P>", "");
}

// ---- Showing and hiding the builders ----------------------------------------------------------
void TMainForm::BODY2Click(TObject*)
{
    ShowTool(bodytag);
}
void TMainForm::JavaScriptAlert1Click(TObject*)
{
    ShowTool(alertwin);
}
void TMainForm::ToolbarButton42Click(TObject*)
{
    ShowTool(alertwin);
}
void TMainForm::JavaScriptPrompt1Click(TObject*)
{
    ShowTool(promptwin);
}
void TMainForm::ToolbarButton44Click(TObject*)
{
    ShowTool(promptwin);
}
void TMainForm::A2Click(TObject*)
{
    ShowTool(ancwin);
}
void TMainForm::HexadecimalColour1Click(TObject*)
{
    ShowTool(hx);
}
void TMainForm::Function1Click(TObject*)
{
    ShowTool(Newfunc);
}
void TMainForm::ToolbarButton39Click(TObject*)
{
    ShowTool(Newfunc);
}
void TMainForm::Comment1Click(TObject*)
{
    ShowTool(com1);
}
void TMainForm::ToolbarButton38Click(TObject*)
{
    ShowTool(com1);
}
void TMainForm::APPLET1Click(TObject*)
{
    ShowTool(applet);
}
void TMainForm::N5Click(TObject*)
{
    ShowTool(sound);
}
void TMainForm::PARAM1Click(TObject*)
{
    ShowTool(param);
}
void TMainForm::windowopen1Click(TObject*)
{
    ShowTool(window);
}
void TMainForm::ToolbarButton41Click(TObject*)
{
    ShowTool(window);
}
void TMainForm::JavaScriptConfirm1Click(TObject*)
{
    ShowTool(conwin);
}
void TMainForm::ToolbarButton43Click(TObject*)
{
    ShowTool(conwin);
}
void TMainForm::IMG1Click(TObject*)
{
    ShowTool(imgwin);
}

void TMainForm::Button2Click(TObject*)
{
    HideTool(bodytag);
}
void TMainForm::Button4Click(TObject*)
{
    HideTool(alertwin);
}
void TMainForm::Button6Click(TObject*)
{
    HideTool(promptwin);
}
void TMainForm::Button8Click(TObject*)
{
    HideTool(ancwin);
}
void TMainForm::Button11Click(TObject*)
{
    HideTool(hx);
}
void TMainForm::Button13Click(TObject*)
{
    HideTool(Newfunc);
}
void TMainForm::Button15Click(TObject*)
{
    HideTool(com1);
}
void TMainForm::Button21Click(TObject*)
{
    HideTool(applet);
}
// Cancel closes this builder as it closes its sisters.
void TMainForm::Button24Click(TObject*)
{
    HideTool(sound);
}
void TMainForm::Button26Click(TObject*)
{
    HideTool(param);
}
void TMainForm::Button28Click(TObject*)
{
    HideTool(window);
}
void TMainForm::Button35Click(TObject*)
{
    HideTool(conwin);
}
void TMainForm::Button37Click(TObject*)
{
    HideTool(imgwin);
}

// ---- The builders' OK buttons: the fields as they stand, no checks -------------------------
void TMainForm::Button1Click(TObject*)
{
    InsertText("<BODY BGCOLOR=" + Edit2->Text() + " BACKGROUND=" + pic->Text() + " TEXT=" + Edit6->Text() +
               " ALINK=" + Edit3->Text() + " VLINK=" + Edit5->Text() + ">");
}

void TMainForm::Button3Click(TObject*)
{
    InsertText("alert('" + Edit7->Text() + "')");
    HideTool(alertwin);
}

void TMainForm::Button5Click(TObject*)
{
    InsertText(Edit34->Text() + "=prompt(" + Dq + Edit8->Text() + Dq + "," + Dq + Edit9->Text() + Dq + ")");
    HideTool(promptwin);
}

void TMainForm::Button7Click(TObject*)
{
    InsertText("<A HREF=" + Edit10->Text() + " " + Edit11->Text() + ">" + Edit12->Text() + "</A>");
}

void TMainForm::Button10Click(TObject*)
{
    InsertText(Edit13->Text());
}

void TMainForm::Button20Click(TObject*)
{
    InsertText("<APPLET CODEBASE=" + Edit20->Text() + " CODE=" + FilenameEdit1->Text() +
               " WIDTH=" + Edit21->Text() + " HEIGHT=" + Edit22->Text() + "></APPLET>");
}

void TMainForm::Button23Click(TObject*)
{
    InsertText("<BGSOUND SRC=" + FilenameEdit5->Text() + " LOOP=" + Edit23->Text() + ">");
}

void TMainForm::Button25Click(TObject*)
{
    InsertText("<PARAM NAME=" + Edit24->Text() + " VALUE=" + Edit25->Text() + ">");
}

void TMainForm::Button27Click(TObject*)
{
    std::string Options;
    const std::pair<TCheckBox*, const char*> Boxes[] = {
        {CheckBox1, "toolbars, "},    {CheckBox2, "scrollbars, "},  {CheckBox3, "status, "},
        {CheckBox4, "copyhistory, "}, {CheckBox5, "directories, "}, {CheckBox6, "menubar, "},
        {CheckBox7, "resizable, "},   {CheckBox8, "location,"}};
    for (const auto& [Box, Option] : Boxes)
        if (Box->Checked())
            Options += Option;
    InsertText("window.open('" + FilenameEdit6->Text() + "'" + ", " + "'" + Edit26->Text() + "'" +
               " , width=" + Edit28->Text() + ", height=" + Edit27->Text() + "," + Options + ");");
    HideTool(window);
}

void TMainForm::Button36Click(TObject*)
{
    InsertText("<IMG SRC=" + FilenameEdit7->Text() + " BORDER=" + Edit38->Text() + " ALT=" + Dq +
               Edit39->Text() + Dq + " WIDTH=" + std::to_string(SpinEdit1->Value()) +
               " HEIGHT=" + std::to_string(SpinEdit2->Value()) + ">");
    HideTool(imgwin);
}

// ---- Colour pickers -------------------------------------------------------------------------------
std::string TMainForm::PickQuotedColour(TColor& Picked)
{
    // The answer is not looked at: a cancelled dialog gives the colour it started with.
    ColorDlg->Execute();
    Picked = ColorDlg->Color;
    return QuotedColorText(Picked);
}

void TMainForm::AdSpeedButton2Click(TObject*)
{
    TColor C;
    Edit2->SetText(PickQuotedColour(C));
    Panel1->SetColor(C);
}

void TMainForm::AdSpeedButton3Click(TObject*)
{
    TColor C;
    Edit3->SetText(PickQuotedColour(C));
    ALinkColourLabel->Font()->SetColor(C);
}

void TMainForm::AdSpeedButton4Click(TObject*)
{
    TColor C;
    Edit4->SetText(PickQuotedColour(C));
    LinkColourLabel->Font()->SetColor(C);
}

void TMainForm::AdSpeedButton5Click(TObject*)
{
    TColor C;
    Edit5->SetText(PickQuotedColour(C));
    VLinkColourLabel->Font()->SetColor(C);
}

void TMainForm::AdSpeedButton6Click(TObject*)
{
    TColor C;
    Edit6->SetText(PickQuotedColour(C));
    TextColourLabel->Font()->SetColor(C);
}

void TMainForm::Button9Click(TObject*)
{
    TColor C;
    Edit13->SetText(PickQuotedColour(C));
}

// ---- Blocks through the clipboard ---------------------------------------------------------------
// The buffers' lines follow the memo's rules: after Clear one empty line; Add fills an empty last
// line and ends it with CR LF, or starts a new line after a last line that has text.
void TMainForm::ScriptTags1Click(TObject*)
{
    TStrings* L = Memo2->Lines();
    L->Clear();
    L->Add("<SCRIPT LANGUAGE=" + Dq + "JAVASCRIPT" + Dq + ">");
    L->Add("");
    L->Add("");
    L->Add("");
    L->Add("</SCRIPT>");
    PasteBuffer(Memo2, true);
}

void TMainForm::ToolbarButton40Click(TObject* Sender)
{
    ScriptTags1Click(Sender);
}

void TMainForm::Button12Click(TObject*)
{
    const std::string Name = Edit14->Text();
    TStrings* L = Memo1->Lines();
    L->Clear();
    L->Add("//Function : " + Name);
    L->Add("//Date : " + DateToStr(Date()) + " Time : " + TimeToStr(Time()));
    L->Add("//Description :" + Edit15->Text());
    L->Add("function " + Name + "()");
    L->Add("{");
    L->Add("");
    L->Add("");
    L->Add("}");
    L->Add("//End Function: " + Name);
    L->Add("");
    PasteBuffer(Memo1, false);
    HideTool(Newfunc);
}

void TMainForm::Button14Click(TObject*)
{
    TStrings* L = Memo1->Lines();
    L->Clear();
    L->Add("//Comment:");
    L->Add("//Date : " + DateToStr(Date()) + " Time : " + TimeToStr(Time()));
    L->Add("//Comment :" + Edit16->Text());
    L->Add("");
    PasteBuffer(Memo1, false);
    HideTool(com1);
}

void TMainForm::Button34Click(TObject*)
{
    // Line 0 set directly carries no line break, so the block ends without one.
    TStrings* L = Memo2->Lines();
    L->Clear();
    L->Put(0, "if (confirm(" + Dq + Edit35->Text() + Dq + "))");
    L->Add(Edit36->Text() + ";");
    L->Add("else");
    L->Add(Edit37->Text() + ";");
    PasteBuffer(Memo2, true);
    HideTool(conwin);
}

void TMainForm::PasteUnitScript(int Number)
{
    // An unassigned button has nothing to paste.
    if (Number < 1 || Number > UnitButtonCount ||
        UnitPalette[static_cast<std::size_t>(Number - 1)].JsPath.empty())
        return;
    // Loading through the buffer's lines makes every line break CR LF and keeps the rest as is.
    TStrings* L = Memo2->Lines();
    L->Clear();
    L->LoadFromFile(UnitPalette[static_cast<std::size_t>(Number - 1)].JsPath);
    PasteBuffer(Memo2, true);
}

namespace {
template <int... N> void PublishUnitButtons(TClassBuilder<TMainForm>& Cls, std::integer_sequence<int, N...>)
{
    (Cls.Handler("q" + std::to_string(N + 1) + "Click", &TMainForm::qClick<N + 1>), ...);
}
} // namespace

// ---- Registration ---------------------------------------------------------------------------------
void PublishInsertionMembers(TClassBuilder<TMainForm>& Cls)
{
    Cls.Field("back", &TMainForm::back);
    Cls.Field("forward1", &TMainForm::forward1);
    Cls.Field("bodytag", &TMainForm::bodytag);
    Cls.Field("alertwin", &TMainForm::alertwin);
    Cls.Field("promptwin", &TMainForm::promptwin);
    Cls.Field("ancwin", &TMainForm::ancwin);
    Cls.Field("hx", &TMainForm::hx);
    Cls.Field("Newfunc", &TMainForm::Newfunc);
    Cls.Field("com1", &TMainForm::com1);
    Cls.Field("applet", &TMainForm::applet);
    Cls.Field("sound", &TMainForm::sound);
    Cls.Field("param", &TMainForm::param);
    Cls.Field("window", &TMainForm::window);
    Cls.Field("ToolWindow1", &TMainForm::ToolWindow1);
    Cls.Field("conwin", &TMainForm::conwin);
    Cls.Field("imgwin", &TMainForm::imgwin);
    Cls.Field("Color", &TMainForm::ColorDlg);
    Cls.Field("Memo1", &TMainForm::Memo1);
    Cls.Field("Memo2", &TMainForm::Memo2);
    Cls.Field("pic", &TMainForm::pic);
    Cls.Field("Edit2", &TMainForm::Edit2);
    Cls.Field("Edit3", &TMainForm::Edit3);
    Cls.Field("Edit4", &TMainForm::Edit4);
    Cls.Field("Edit5", &TMainForm::Edit5);
    Cls.Field("Edit6", &TMainForm::Edit6);
    Cls.Field("Panel1", &TMainForm::Panel1);
    Cls.Field("ALinkColourLabel", &TMainForm::ALinkColourLabel);
    Cls.Field("LinkColourLabel", &TMainForm::LinkColourLabel);
    Cls.Field("VLinkColourLabel", &TMainForm::VLinkColourLabel);
    Cls.Field("TextColourLabel", &TMainForm::TextColourLabel);
    Cls.Field("Edit7", &TMainForm::Edit7);
    Cls.Field("Edit8", &TMainForm::Edit8);
    Cls.Field("Edit9", &TMainForm::Edit9);
    Cls.Field("Edit34", &TMainForm::Edit34);
    Cls.Field("Edit10", &TMainForm::Edit10);
    Cls.Field("Edit11", &TMainForm::Edit11);
    Cls.Field("Edit12", &TMainForm::Edit12);
    Cls.Field("Edit13", &TMainForm::Edit13);
    Cls.Field("Edit14", &TMainForm::Edit14);
    Cls.Field("Edit15", &TMainForm::Edit15);
    Cls.Field("Edit16", &TMainForm::Edit16);
    Cls.Field("Edit20", &TMainForm::Edit20);
    Cls.Field("FilenameEdit1", &TMainForm::FilenameEdit1);
    Cls.Field("Edit21", &TMainForm::Edit21);
    Cls.Field("Edit22", &TMainForm::Edit22);
    Cls.Field("FilenameEdit5", &TMainForm::FilenameEdit5);
    Cls.Field("Edit23", &TMainForm::Edit23);
    Cls.Field("Edit24", &TMainForm::Edit24);
    Cls.Field("Edit25", &TMainForm::Edit25);
    Cls.Field("FilenameEdit6", &TMainForm::FilenameEdit6);
    Cls.Field("Edit26", &TMainForm::Edit26);
    Cls.Field("Edit27", &TMainForm::Edit27);
    Cls.Field("Edit28", &TMainForm::Edit28);
    Cls.Field("CheckBox1", &TMainForm::CheckBox1);
    Cls.Field("CheckBox2", &TMainForm::CheckBox2);
    Cls.Field("CheckBox3", &TMainForm::CheckBox3);
    Cls.Field("CheckBox4", &TMainForm::CheckBox4);
    Cls.Field("CheckBox5", &TMainForm::CheckBox5);
    Cls.Field("CheckBox6", &TMainForm::CheckBox6);
    Cls.Field("CheckBox7", &TMainForm::CheckBox7);
    Cls.Field("CheckBox8", &TMainForm::CheckBox8);
    Cls.Field("Edit35", &TMainForm::Edit35);
    Cls.Field("Edit36", &TMainForm::Edit36);
    Cls.Field("Edit37", &TMainForm::Edit37);
    Cls.Field("FilenameEdit7", &TMainForm::FilenameEdit7);
    Cls.Field("Edit38", &TMainForm::Edit38);
    Cls.Field("Edit39", &TMainForm::Edit39);
    Cls.Field("SpinEdit1", &TMainForm::SpinEdit1);
    Cls.Field("SpinEdit2", &TMainForm::SpinEdit2);

#define TW_HANDLER(Name) Cls.Handler(#Name, &TMainForm::Name)
    TW_HANDLER(HTML2Click);
    TW_HANDLER(HEAD2Click);
    TW_HANDLER(TITLE2Click);
    TW_HANDLER(H12Click);
    TW_HANDLER(H22Click);
    TW_HANDLER(H32Click);
    TW_HANDLER(H42Click);
    TW_HANDLER(H52Click);
    TW_HANDLER(H62Click);
    TW_HANDLER(BR1Click);
    TW_HANDLER(HR1Click);
    TW_HANDLER(N3Click);
    TW_HANDLER(TR1Click);
    TW_HANDLER(TD1Click);
    TW_HANDLER(documentwrite1Click);
    TW_HANDLER(ToolbarButton37Click);
    TW_HANDLER(Date1Click);
    TW_HANDLER(Time1Click);
    TW_HANDLER(TimeDate1Click);
    TW_HANDLER(ToolbarButton2Click);
    TW_HANDLER(ToolbarButton16Click);
    TW_HANDLER(ToolbarButton15Click);
    TW_HANDLER(ToolbarButton14Click);
    TW_HANDLER(ToolbarButton13Click);
    TW_HANDLER(ToolbarButton11Click);
    TW_HANDLER(ToolbarButton10Click);
    TW_HANDLER(ToolbarButton9Click);
    TW_HANDLER(ToolbarButton8Click);
    TW_HANDLER(ToolbarButton7Click);
    TW_HANDLER(ToolbarButton6Click);
    TW_HANDLER(ToolbarButton5Click);
    TW_HANDLER(ToolbarButton4Click);
    TW_HANDLER(ToolbarButton12Click);
    TW_HANDLER(UL2Click);
    TW_HANDLER(OL2Click);
    TW_HANDLER(DL2Click);
    TW_HANDLER(LI2Click);
    TW_HANDLER(LH2Click);
    TW_HANDLER(DD2Click);
    TW_HANDLER(DIRMENUClick);
    TW_HANDLER(MENU2Click);
    TW_HANDLER(N4Click);
    TW_HANDLER(BODY2Click);
    TW_HANDLER(JavaScriptAlert1Click);
    TW_HANDLER(ToolbarButton42Click);
    TW_HANDLER(JavaScriptPrompt1Click);
    TW_HANDLER(ToolbarButton44Click);
    TW_HANDLER(A2Click);
    TW_HANDLER(HexadecimalColour1Click);
    TW_HANDLER(Function1Click);
    TW_HANDLER(ToolbarButton39Click);
    TW_HANDLER(Comment1Click);
    TW_HANDLER(ToolbarButton38Click);
    TW_HANDLER(APPLET1Click);
    TW_HANDLER(N5Click);
    TW_HANDLER(PARAM1Click);
    TW_HANDLER(windowopen1Click);
    TW_HANDLER(ToolbarButton41Click);
    TW_HANDLER(JavaScriptConfirm1Click);
    TW_HANDLER(ToolbarButton43Click);
    TW_HANDLER(IMG1Click);
    TW_HANDLER(Button1Click);
    TW_HANDLER(Button3Click);
    TW_HANDLER(Button5Click);
    TW_HANDLER(Button7Click);
    TW_HANDLER(Button10Click);
    TW_HANDLER(Button20Click);
    TW_HANDLER(Button23Click);
    TW_HANDLER(Button25Click);
    TW_HANDLER(Button27Click);
    TW_HANDLER(Button36Click);
    TW_HANDLER(Button2Click);
    TW_HANDLER(Button4Click);
    TW_HANDLER(Button6Click);
    TW_HANDLER(Button8Click);
    TW_HANDLER(Button11Click);
    TW_HANDLER(Button13Click);
    TW_HANDLER(Button15Click);
    TW_HANDLER(Button21Click);
    TW_HANDLER(Button24Click);
    TW_HANDLER(Button26Click);
    TW_HANDLER(Button28Click);
    TW_HANDLER(Button35Click);
    TW_HANDLER(Button37Click);
    TW_HANDLER(AdSpeedButton2Click);
    TW_HANDLER(AdSpeedButton3Click);
    TW_HANDLER(AdSpeedButton4Click);
    TW_HANDLER(AdSpeedButton5Click);
    TW_HANDLER(AdSpeedButton6Click);
    TW_HANDLER(Button9Click);
    TW_HANDLER(ScriptTags1Click);
    TW_HANDLER(ToolbarButton40Click);
    TW_HANDLER(Button12Click);
    TW_HANDLER(Button14Click);
    TW_HANDLER(Button34Click);
    PublishUnitButtons(Cls, std::make_integer_sequence<int, TMainForm::UnitButtonCount>());
    TW_HANDLER(forward1Click);
    TW_HANDLER(backClick);
    TW_HANDLER(findin);
#undef TW_HANDLER
}
