#include "apps/script-editor/UnitPalette.h"

#include "apps/script-editor/Main.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"

std::string UnitKey(const std::string& Number)
{
    return "q" + Number;
}

std::string StoredUnitDir(const std::string& Dir)
{
    // A directory chosen with its separator already gets no second one.
    if (!Dir.empty() && (Dir.back() == '\\' || Dir.back() == '/'))
        return Dir;
    return Dir + "\\";
}

// ---- Palette load -----------------------------------------------------------------------------
void TMainForm::LoadUnitPalette()
{
    TIniFile Ini(LibIniName);
    std::string Problems;
    auto Note = [&Problems](const std::string& Text) { Problems += (Problems.empty() ? "" : "\r\n") + Text; };
    for (int N = 1; N <= UnitButtonCount; ++N) {
        TUnitEntry& Entry = UnitPalette[static_cast<std::size_t>(N - 1)];
        Entry = TUnitEntry{};
        const std::string Dir = Ini.ReadString(LibSection, UnitKey(std::to_string(N)), UnassignedUnit);
        if (N == 1 && Ini.Unreadable())
            Note("The UNIT palette settings \"" + Ini.Path() + "\" cannot be read. " +
                 Ini.UnreadableReason());
        if (Dir != UnassignedUnit && !Trim(Dir).empty()) {
            const std::string Base = IncludeTrailingPathDelimiter(Dir);
            Entry = TUnitEntry{Dir, Base + "unit1.js", Base + "unit1.bmp"};
        }
    }
    for (int N = 1; N <= UnitButtonCount; ++N) {
        auto* Button = dynamic_cast<TToolbarButton*>(FindComponent("q" + std::to_string(N)));
        if (!Button)
            continue;
        const TUnitEntry& Entry = UnitPalette[static_cast<std::size_t>(N - 1)];
        // Nothing is kept from the last load: an unassigned button shows no glyph.
        if (Entry.GlyphPath.empty()) {
            Button->Glyph()->Assign(nullptr);
            continue;
        }
        try {
            Button->Glyph()->LoadFromFile(Entry.GlyphPath);
        } catch (const Exception& E) {
            // One bad glyph costs only its own button; the later ones still load.
            Button->Glyph()->Assign(nullptr);
            Note("UNIT button " + std::to_string(N) + ": " + E.Message());
        }
    }
    if (Problems.empty() || Problems == FShownPaletteProblems) {
        FShownPaletteProblems = Problems;
        return;
    }
    // Marked as shown before the box comes up: the activation its closing brings reloads the
    // palette and must not show it again.
    FShownPaletteProblems = Problems;
    MessageDlg(Problems, mtError, TMsgDlgButtons{mbOK}, 0);
}

// ---- Create New UNIT wizard -------------------------------------------------------------------
namespace {
// An empty file made only where nothing of the name exists, its handle closed again at once.
bool CreateEmptyFile(const std::string& FileName)
{
    const int Handle = FileCreateNew(FileName);
    if (Handle < 0)
        return false;
    FileClose(Handle);
    return true;
}
} // namespace

void TMainForm::Button39Click(TObject*)
{
    const std::string Dir = Edit40->Text();
    bool Created = false, Js = false, Txt = false, Moved = false;
    // Without a directory the files would land in the root.
    if (!Trim(Dir).empty()) {
        Created = CreateDir(Dir);
        const std::string Base = IncludeTrailingPathDelimiter(Dir);
        // Files already there (a package created before) are kept as they are, and the bitmap
        // never replaces one of that name.
        Js = CreateEmptyFile(Base + "unit1.js");
        Txt = CreateEmptyFile(Base + "unit1.txt");
        Moved = RenameFile(Edit41->Text(), Base + "unit1.bmp");
    }
    if (!Js || !Txt || !Moved || !Created)
        Application->MessageBox(
            "This error could be either of the following.  You may not have specified a bmp file, an error "
            "occurred during the creation of the directory or files with the names unit1 are already in the "
            "directory specified.",
            "Orvane Wendle ERROR!", MB_ICONERROR);
    else
        Application->MessageBox("The UNIT has been created.", "UNIT Created", MB_ICONINFORMATION);
}

void TMainForm::Button40Click(TObject*)
{
    HideTool(createunit);
}

void TMainForm::SpeedButton1Click(TObject*)
{
    if (OpenDialog2->Execute())
        Edit41->SetText(OpenDialog2->FileName);
}

// ---- UNIT help viewer -------------------------------------------------------------------------
void TMainForm::Button38Click(TObject*)
{
    if (OpenDialog1->Execute())
        Memo15->Lines()->LoadFromFile(OpenDialog1->FileName);
    Label66->SetCaption("Current File Open: " + OpenDialog1->FileName);
}

void PublishUnitMembers(TClassBuilder<TMainForm>& Cls)
{
    Cls.Field("Edit40", &TMainForm::Edit40);
    Cls.Field("Edit41", &TMainForm::Edit41);
    Cls.Field("Memo15", &TMainForm::Memo15);
    Cls.Field("Label66", &TMainForm::Label66);
    Cls.Field("OpenDialog1", &TMainForm::OpenDialog1);
    Cls.Field("OpenDialog2", &TMainForm::OpenDialog2);
    Cls.Handler("Button39Click", &TMainForm::Button39Click);
    Cls.Handler("Button40Click", &TMainForm::Button40Click);
    Cls.Handler("SpeedButton1Click", &TMainForm::SpeedButton1Click);
    Cls.Handler("Button38Click", &TMainForm::Button38Click);
}
