#include "platform/controls/FolderBrowser.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/FileCtrl.h"
#include "platform/controls/StdButtons.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

struct TItemIDList {
    std::string Path;
};

namespace {

// The buttons are "BUTTON" windows, the class callers look the dialog's buttons up by.
class TFolderButton : public TButton {
public:
    using TButton::TButton;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TButton::CreateParams(Params);
        Params.WinClassName = "BUTTON";
    }
};

class TFolderList : public TDirectoryListBox {
public:
    using TDirectoryListBox::TDirectoryListBox;
    std::function<void()> OnSelect;

protected:
    void Change() override
    {
        TDirectoryListBox::Change();
        if (OnSelect)
            OnSelect();
    }
    void SelectionChangedByUser() override
    {
        TDirectoryListBox::SelectionChangedByUser();
        if (OnSelect)
            OnSelect();
    }
};

class TFolderBrowserForm : public TForm {
public:
    explicit TFolderBrowserForm(BROWSEINFO* Info);
    // The directory chosen in the list (the open one when no item is chosen).
    std::string Selection() const;
    TFolderButton* OK;
    TFolderButton* Cancel;
    TFolderList* List;

protected:
    TW_MESSAGE_HANDLERS(TFolderBrowserForm);
    void BFFMSetSelection(TMessage& Message);
    void BFFMEnableOK(TMessage& Message);

private:
    void SelChanged();
    BROWSEINFO* FInfo;
    int FQuiet = 0; // selection changes made by BFFM_SETSELECTION report once, at its end
};

TFolderBrowserForm::TFolderBrowserForm(BROWSEINFO* Info) : TForm(nullptr), FInfo(Info)
{
    SetCaption("Browse for Folder");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(320);
    SetClientHeight(330);
    auto* Title = new TLabel(this);
    Title->SetParent(this);
    Title->SetBounds(12, 10, 296, 20);
    Title->SetCaption(Info->lpszTitle ? Info->lpszTitle : "");
    List = new TFolderList(this);
    List->SetParent(this);
    List->SetBounds(12, 34, 296, 244);
    List->SetDirectory(GetCurrentDir());
    List->OnSelect = [this] {
        if (!FQuiet)
            SelChanged();
    };
    OK = new TFolderButton(this);
    OK->SetParent(this);
    OK->SetBounds(152, 292, 75, 25);
    OK->SetCaption("OK");
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    Cancel = new TFolderButton(this);
    Cancel->SetParent(this);
    Cancel->SetBounds(233, 292, 75, 25);
    Cancel->SetCaption("Cancel");
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
}

std::string TFolderBrowserForm::Selection() const
{
    int I = List->ItemIndex();
    return I >= 0 ? List->GetItemPath(I) : List->Directory();
}

void TFolderBrowserForm::SelChanged()
{
    if (!FInfo->lpfn)
        return;
    TItemIDList Item{Selection()};
    FInfo->lpfn(Handle(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&Item), FInfo->lParam);
}

void TFolderBrowserForm::BFFMSetSelection(TMessage& Message)
{
    std::string Path;
    if (Message.WParam)
        Path = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
    else if (Message.LParam)
        Path = reinterpret_cast<TItemIDList*>(Message.LParam)->Path;
    Path = MapPath(Path);
    if (!DirectoryExists(Path))
        return;
    ++FQuiet;
    try {
        List->SetDirectory(Path);
    } catch (...) {
        --FQuiet;
        throw;
    }
    --FQuiet;
    SelChanged();
}

void TFolderBrowserForm::BFFMEnableOK(TMessage& Message)
{
    OK->SetEnabled(Message.LParam != 0);
}

TW_PUBLISH(TFolderBrowserForm, TForm)
{
    Cls.Message(BFFM_SETSELECTION, &TFolderBrowserForm::BFFMSetSelection);
    Cls.Message(BFFM_ENABLEOK, &TFolderBrowserForm::BFFMEnableOK);
}

struct TFormDeleter {
    void operator()(TFolderBrowserForm* Form) const
    {
        Form->BeforeDestruction();
        delete Form;
    }
};

} // namespace

LPITEMIDLIST SHBrowseForFolder(BROWSEINFO* Info)
{
    if (!Info)
        return nullptr;
    std::unique_ptr<TFolderBrowserForm, TFormDeleter> Form(new TFolderBrowserForm(Info));
    HWND Wnd = Form->Handle();
    // The callback looks the buttons up among the window's children.
    Form->List->HandleNeeded();
    Form->OK->HandleNeeded();
    Form->Cancel->HandleNeeded();
    if (Info->lpfn)
        Info->lpfn(Wnd, BFFM_INITIALIZED, 0, Info->lParam);
    TDialogRequest R;
    R.Kind = TDialogKind::BrowseFolder;
    R.Owner = Info->hwndOwner;
    R.Caption = Form->Caption();
    R.Text = Info->lpszTitle ? Info->lpszTitle : "";
    R.Window = Wnd;
    // A press of a disabled OK does nothing, so only an enabled one answers.
    if (PresentDialog(R) == 0 || !Form->OK->Enabled())
        return nullptr;
    auto* Item = new TItemIDList{Form->Selection()};
    if (Info->pszDisplayName) {
        std::string Name = ExtractFileName(ExcludeTrailingPathDelimiter(Item->Path));
        if (Name.empty())
            Name = Item->Path;
        std::size_t N = std::min<std::size_t>(Name.size(), 259);
        std::memcpy(Info->pszDisplayName, Name.data(), N);
        Info->pszDisplayName[N] = 0;
    }
    return Item;
}

bool SHGetPathFromIDList(LPITEMIDLIST Item, std::string& Path)
{
    if (!Item)
        return false;
    Path = Item->Path;
    return true;
}

void CoTaskMemFree(LPITEMIDLIST Item)
{
    delete Item;
}

namespace {
int SelectDirectoryCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data)
{
    if (Msg == BFFM_INITIALIZED)
        SendMessage(Wnd, BFFM_SETSELECTION, TRUE, Data);
    return 0;
}
} // namespace

bool SelectDirectory(std::string& Directory, TSelectDirOpts, int)
{
    BROWSEINFO Info;
    Info.hwndOwner = GetActiveWindow();
    Info.ulFlags = BIF_RETURNONLYFSDIRS;
    Info.lpfn = &SelectDirectoryCallback;
    Info.lParam = reinterpret_cast<LPARAM>(Directory.c_str());
    LPITEMIDLIST Item = SHBrowseForFolder(&Info);
    if (!Item)
        return false;
    SHGetPathFromIDList(Item, Directory);
    CoTaskMemFree(Item);
    return true;
}
