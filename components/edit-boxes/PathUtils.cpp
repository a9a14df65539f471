#include "components/edit-boxes/PathUtils.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <cstring>
#include <memory>

namespace {
constexpr int HelpButtonID = 65535;
} // namespace

TW_PUBLISH(TBrowseFolderDlg, TComponent)
{
    Cls.Str("DialogText", &TBrowseFolderDlg::DialogText);
    Cls.Str("Directory", &TBrowseFolderDlg::Directory);
    Cls.Int("HelpContext", &TBrowseFolderDlg::HelpContext).Default(0);
    Cls.Event("OnInitialized", &TBrowseFolderDlg::OnInitialized);
    Cls.Event("OnSelChanged", &TBrowseFolderDlg::OnSelChanged);
    Cls.Message(WM_COMMAND, &TBrowseFolderDlg::WMCommand);
    Cls.Message(WM_NCDESTROY, &TBrowseFolderDlg::WMNCDestroy);
}

TBrowseFolderDlg::TBrowseFolderDlg(TComponent* AOwner) : TComponent(AOwner)
{
    FObjectInstance = MakeObjectInstance([this](TMessage& M) { Dispatch(M); });
}

TBrowseFolderDlg::~TBrowseFolderDlg()
{
    if (FObjectInstance)
        FreeObjectInstance(FObjectInstance);
}

bool TBrowseFolderDlg::Execute()
{
    FDisplayName.assign(260, '\0');
    BROWSEINFO Info;
    Info.hwndOwner = Application ? Application->Handle() : nullptr;
    Info.pszDisplayName = FDisplayName.data();
    Info.lpszTitle = DialogText.empty() ? nullptr : DialogText.c_str();
    Info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    Info.lpfn = &TBrowseFolderDlg::BrowseCallback;
    Info.lParam = reinterpret_cast<LPARAM>(this);
    // The folder browser disables the program's other windows and gives the activation back
    // itself (it is a modal box of the dialog presenter).
    LPITEMIDLIST Item = nullptr;
    try {
        Item = SHBrowseForFolder(&Info);
    } catch (...) {
        FDialogHandle = nullptr;
        FDefWndProc = nullptr;
        throw;
    }
    FDialogHandle = nullptr;
    FDefWndProc = nullptr;
    if (!Item)
        return false;
    std::unique_ptr<TItemIDList, void (*)(LPITEMIDLIST)> Owned(Item, &CoTaskMemFree);
    std::string Path;
    CheckWin32Result(SHGetPathFromIDList(Item, Path) ? 1 : 0);
    Directory = Path;
    FSelection = Directory;
    FImageIndex = Info.iImage;
    return true;
}

int TBrowseFolderDlg::BrowseCallback(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data)
{
    auto* Self = reinterpret_cast<TBrowseFolderDlg*>(Data);
    switch (Msg) {
    case BFFM_INITIALIZED: {
        CenterWindowOnScreen(Wnd);
        Self->FDialogHandle = Wnd;
        Self->FDefWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtr(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Self->FObjectInstance)));
        if (IsExistingDirectory(Self->Directory))
            SendMessage(Wnd, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(Self->Directory.c_str()));
        if (Self->HelpContext != 0) {
            if (HWND Button = FindWindowEx(Wnd, nullptr, "BUTTON", nullptr)) {
                RECT R;
                GetWindowRect(Button, &R);
                POINT TopLeft{R.left, R.top};
                ScreenToClient(Wnd, &TopLeft);
                HWND Help = CreateWindowEx(0, "BUTTON", "&Help", 0x54010000, 12, TopLeft.y, R.right - R.left,
                                           R.bottom - R.top, Wnd, reinterpret_cast<HMENU>(HelpButtonID),
                                           nullptr, nullptr);
                SendMessage(Help, WM_SETFONT, SendMessage(Wnd, WM_GETFONT, 0, 0), TRUE);
                UpdateWindow(Wnd);
            }
        }
        if (Self->OnInitialized)
            Self->OnInitialized(Self);
        break;
    }
    case BFFM_SELCHANGED: {
        Self->FDialogHandle = Wnd;
        std::string Path;
        if (SHGetPathFromIDList(reinterpret_cast<LPITEMIDLIST>(lParam), Path)) {
            Self->FSelection = Path;
            SendMessage(Wnd, BFFM_ENABLEOK, 0, IsExistingDirectory(Path) ? 1 : 0);
        } else {
            Self->FSelection.clear();
            SendMessage(Wnd, BFFM_ENABLEOK, 0, 0);
        }
        if (Self->OnSelChanged)
            Self->OnSelChanged(Self);
        break;
    }
    }
    return 0;
}

void TBrowseFolderDlg::WMCommand(TWMCommand Message)
{
    if (Message.ItemID() == HelpButtonID && Message.NotifyCode() == 0) {
        if (HelpContext != 0 && Application)
            Application->HelpContext(HelpContext);
        return;
    }
    DefaultHandler(Message);
}

void TBrowseFolderDlg::WMNCDestroy(TMessage& Message)
{
    DefaultHandler(Message);
    FDialogHandle = nullptr;
}

void TBrowseFolderDlg::DefaultHandler(TMessage& Message)
{
    if (FDialogHandle && FDefWndProc)
        Message.Result =
            CallWindowProc(FDefWndProc, FDialogHandle, Message.Msg, Message.WParam, Message.LParam);
    else
        TComponent::DefaultHandler(Message);
}

bool ShowFolderBrowser(std::string& Path, const std::string& Title, int HelpContext)
{
    std::unique_ptr<TBrowseFolderDlg> Dialog(new TBrowseFolderDlg(nullptr));
    Dialog->DialogText = Title;
    Dialog->Directory = Path;
    Dialog->HelpContext = HelpContext;
    bool Result = Dialog->Execute();
    if (Result)
        Path = Dialog->Directory;
    return Result;
}

bool IsExistingDirectory(const std::string& Path)
{
    return !Path.empty() && DirectoryExists(Path);
}

bool IsValidFileName(const std::string& Name)
{
    return !Name.empty() && Name.find_first_of("<>\"[]|") == std::string::npos;
}

std::string LongComponentName(const std::string& Path)
{
    std::string Native = MapPath(Path);
    if (Native.empty() || !(FileExists(Native) || DirectoryExists(Native)))
        return std::string();
    return ExtractFileName(ExcludeTrailingPathDelimiter(Native));
}

std::string ShortComponentName(const std::string& Path)
{
    return LongComponentName(Path);
}

namespace {
std::string ComponentPath(const std::string& Path, std::string (*Lookup)(const std::string&))
{
    std::string Result;
    std::string Rest = Path;
    std::size_t Sep = Rest.find_last_of("\\/");
    while (Sep != std::string::npos) {
        Result = Rest[Sep] + Lookup(Rest) + Result;
        Rest.erase(Sep);
        Sep = Rest.find_last_of("\\/");
    }
    return Rest + Result;
}
} // namespace

std::string LongPathName(const std::string& Path)
{
    return ComponentPath(Path, &LongComponentName);
}

std::string ShortPathName(const std::string& Path)
{
    return ComponentPath(Path, &ShortComponentName);
}

void FitRectOnScreen(TRect& Rect)
{
    // Moves the span [Lo, Hi) back inside [0, Size): the far edge first, so that a span wider
    // than the screen keeps its near edge visible.
    auto Fit = [](LONG& Lo, LONG& Hi, int Size) {
        if (Hi > Size) {
            Lo -= Hi - Size;
            Hi = Size;
        }
        if (Lo < 0) {
            Hi -= Lo;
            Lo = 0;
        }
    };
    Fit(Rect.left, Rect.right, GetSystemMetrics(SM_CXSCREEN));
    Fit(Rect.top, Rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

void CenterWindowOnScreen(HWND Window)
{
    RECT R;
    if (!GetWindowRect(Window, &R))
        return;
    int W = R.right - R.left, H = R.bottom - R.top;
    TRect Target =
        Bounds((GetSystemMetrics(SM_CXSCREEN) - W) / 2, (GetSystemMetrics(SM_CYSCREEN) - H) / 2, W, H);
    FitRectOnScreen(Target);
    SetWindowPos(Window, nullptr, Target.left, Target.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const char* NextCommandToken(const char* P, std::string& Token)
{
    Token.clear();
    auto Blank = [](char C) { return C != 0 && static_cast<unsigned char>(C) <= 32; };
    for (;;) {
        while (Blank(*P))
            ++P;
        if (P[0] == '"' && P[1] == '"')
            P += 2;
        else
            break;
    }
    while (static_cast<unsigned char>(*P) > 32) {
        if (*P == '"') {
            ++P;
            while (*P && *P != '"')
                Token += *P++;
            if (*P == '"')
                ++P;
        } else {
            Token += *P++;
        }
    }
    return P;
}

int CommandTokenCount(const std::string& CommandLine)
{
    int Count = 0;
    std::string Token;
    for (const char* P = NextCommandToken(CommandLine.c_str(), Token); !Token.empty();
         P = NextCommandToken(P, Token))
        ++Count;
    return Count;
}

std::string CommandTokenAt(const std::string& CommandLine, int Index)
{
    std::string Token;
    const char* P = CommandLine.c_str();
    for (int I = 0; I <= Index; ++I) {
        P = NextCommandToken(P, Token);
        if (Token.empty())
            break;
    }
    return Token;
}

void SplitProgramAndParams(const std::string& CommandLine, std::string& Program, std::string& Params)
{
    Program.clear();
    Params.clear();
    std::string Token;
    const char* P = NextCommandToken(CommandLine.c_str(), Token);
    if (Token.empty())
        return;
    Program = Token;
    for (P = NextCommandToken(P, Token); !Token.empty(); P = NextCommandToken(P, Token)) {
        if (!Params.empty())
            Params += ' ';
        Params += Token.find(' ') != std::string::npos ? '"' + Token + '"' : Token;
    }
}

int CheckWin32Result(int Value)
{
    if (Value == 0)
        throw Exception("The chosen folder has no path in the file system");
    return Value;
}

std::string ExtractToDelimiter(const std::string& Text, std::size_t& Pos, const std::set<char>& Delimiters)
{
    std::size_t Start = std::min(Pos, Text.size());
    std::size_t End = Start;
    while (End < Text.size() && !Delimiters.count(Text[End]))
        ++End;
    Pos = End + 1;
    return Text.substr(Start, End - Start);
}
