#include "platform/controls/FileCtrl.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// "*" any run of characters, "?" one character, the rest without regard to ASCII case.
bool Wild(const char* P, const char* S)
{
    const char* Star = nullptr;
    const char* Resume = nullptr;
    while (*S) {
        if (*P == '?' ||
            (*P && *P != '*' &&
             std::tolower(static_cast<unsigned char>(*P)) == std::tolower(static_cast<unsigned char>(*S)))) {
            ++P;
            ++S;
        } else if (*P == '*') {
            Star = P++;
            Resume = S;
        } else if (Star) {
            P = Star + 1;
            S = ++Resume;
        } else {
            return false;
        }
    }
    while (*P == '*')
        ++P;
    return *P == 0;
}

// The masks come from a system where a long extension also has a three-letter form, so "*.htm"
// lists "page.html" too: a pattern with a plain three-letter extension also matches a name whose
// last extension is longer and begins with it.
bool MatchesAsShortName(const std::string& FileName, const std::string& Pattern)
{
    const std::size_t PDot = Pattern.rfind('.');
    if (PDot == std::string::npos || Pattern.size() - PDot - 1 != 3 ||
        Pattern.find_first_of("*?", PDot) != std::string::npos)
        return false;
    const std::size_t NDot = FileName.rfind('.');
    if (NDot == std::string::npos || FileName.size() - NDot - 1 <= 3)
        return false;
    const std::string Short = FileName.substr(0, NDot + 4);
    return Wild(Pattern.c_str(), Short.c_str());
}

// A native, absolute path without a trailing separator (except for "/").
std::string NormalDir(const std::string& Value)
{
    std::string P = MapPath(Value);
    if (P.empty())
        P = GetCurrentDir();
    std::error_code EC;
    fs::path Abs = fs::absolute(fs::path(P), EC);
    if (EC)
        Abs = fs::path(P);
    std::string S = Abs.lexically_normal().string();
    while (S.size() > 1 && S.back() == '/')
        S.pop_back();
    return S.empty() ? std::string("/") : S;
}

// Sorted names of the entries of Dir that are directories (or, with Files, regular files);
// names starting with "." are hidden, as the desktop's own file views hide them.
std::vector<std::string> ListDir(const std::string& Dir, bool Files)
{
    std::vector<std::string> Names;
    std::error_code EC;
    fs::directory_iterator It(Dir, fs::directory_options::skip_permission_denied, EC), End;
    for (; !EC && It != End; It.increment(EC)) {
        std::string N = It->path().filename().string();
        if (N.empty() || N[0] == '.')
            continue;
        std::error_code E2;
        bool IsDir = It->is_directory(E2);
        bool IsFile = !IsDir && It->is_regular_file(E2);
        if (Files ? IsFile : IsDir)
            Names.push_back(N);
    }
    std::sort(Names.begin(), Names.end(),
              [](const std::string& A, const std::string& B) { return AnsiCompareText(A, B) < 0; });
    return Names;
}

std::string JoinPath(const std::string& Dir, const std::string& Name)
{
    return Dir == "/" ? "/" + Name : Dir + "/" + Name;
}

} // namespace

bool MatchesMask(const std::string& FileName, const std::string& Mask)
{
    std::stringstream In(Mask);
    std::string Part;
    bool Any = false;
    while (std::getline(In, Part, ';')) {
        Part = Trim(Part);
        if (Part.empty())
            continue;
        Any = true;
        // "*.*" is every name, with or without an extension.
        if (Part == "*" || Part == "*.*" || Wild(Part.c_str(), FileName.c_str()))
            return true;
        if (MatchesAsShortName(FileName, Part))
            return true;
    }
    return !Any;
}

// ---- TFileListBox -----------------------------------------------------------------------------
TFileListBox::TFileListBox(TComponent* AOwner) : TCustomListBox(AOwner)
{
    FDirectory = NormalDir(GetCurrentDir());
    FItems->Sorted = true;
    ReadFileNames();
}

TFileListBox::~TFileListBox() = default;

void TFileListBox::ReadFileNames()
{
    FItems->BeginUpdate();
    FItems->Clear();
    for (const std::string& N : ListDir(FDirectory, true))
        if (MatchesMask(N, FMask))
            FItems->Add(N);
    FItems->EndUpdate();
    FItemIndex = -1;
    Invalidate();
}

void TFileListBox::SetMask(const std::string& Value)
{
    if (Value == FMask)
        return;
    FMask = Value;
    ReadFileNames();
    Change();
}

void TFileListBox::SetDirectory(const std::string& Value)
{
    std::string D = NormalDir(Value);
    if (D == FDirectory)
        return;
    FDirectory = D;
    ReadFileNames();
    Change();
}

std::string TFileListBox::FileName() const
{
    if (FItemIndex < 0 || FItemIndex >= FItems->Count())
        return std::string();
    return JoinPath(FDirectory, FItems->Strings(FItemIndex));
}

void TFileListBox::SetFileName(const std::string& Value)
{
    std::string P = MapPath(Value);
    std::string Name = P;
    if (std::size_t Slash = P.rfind('/'); Slash != std::string::npos) {
        SetDirectory(Slash == 0 ? std::string("/") : P.substr(0, Slash));
        Name = P.substr(Slash + 1);
    }
    SetItemIndex(FItems->IndexOf(Name));
    Change();
}

void TFileListBox::SetFileEdit(TControl* Value)
{
    if (FFileEdit)
        FFileEdit->RemoveFreeNotification(this);
    FFileEdit = Value;
    if (FFileEdit) {
        FFileEdit->FreeNotification(this);
        Change();
    }
}

void TFileListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileEdit)
        FFileEdit = nullptr;
}

void TFileListBox::Loaded()
{
    TCustomListBox::Loaded();
    ReadFileNames();
    Change();
}

void TFileListBox::Change()
{
    if (ComponentState().Contains(csLoading))
        return;
    if (FFileEdit) {
        std::string F = FileName();
        FFileEdit->SetText(F.empty() ? FMask : ExtractFileName(F));
    }
    if (OnChange)
        OnChange(this);
}

void TFileListBox::SelectionChangedByUser()
{
    Change();
    TCustomListBox::SelectionChangedByUser();
}

// ---- TDirectoryListBox ------------------------------------------------------------------------
TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TCustomListBox(AOwner)
{
    FDirectory = NormalDir(GetCurrentDir());
    ReadDirectoryNames();
}

TDirectoryListBox::~TDirectoryListBox() = default;

void TDirectoryListBox::ReadDirectoryNames()
{
    FPaths.clear();
    FLevels.clear();
    FItems->BeginUpdate();
    FItems->Clear();
    // The path from the root down to the directory...
    std::vector<std::string> Parts;
    std::stringstream In(FDirectory);
    std::string Part;
    while (std::getline(In, Part, '/'))
        if (!Part.empty())
            Parts.push_back(Part);
    std::string Path = "/";
    FItems->Add("/");
    FPaths.push_back(Path);
    FLevels.push_back(0);
    for (std::size_t I = 0; I < Parts.size(); ++I) {
        Path = JoinPath(Path, Parts[I]);
        FItems->Add(Parts[I]);
        FPaths.push_back(Path);
        FLevels.push_back(static_cast<int>(I) + 1);
    }
    int Current = FItems->Count() - 1;
    // ...then what it holds.
    for (const std::string& N : ListDir(FDirectory, false)) {
        FItems->Add(N);
        FPaths.push_back(JoinPath(FDirectory, N));
        FLevels.push_back(static_cast<int>(Parts.size()) + 1);
    }
    FItems->EndUpdate();
    SetItemIndex(Current);
}

std::string TDirectoryListBox::GetItemPath(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FPaths.size()))
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FPaths[static_cast<std::size_t>(Index)];
}

int TDirectoryListBox::ItemLevel(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FLevels.size()))
        return 0;
    return FLevels[static_cast<std::size_t>(Index)];
}

int TDirectoryListBox::TextIndent(int Index) const
{
    return 2 + ItemLevel(Index) * 10;
}

void TDirectoryListBox::SetDirectory(const std::string& Value)
{
    std::string D = NormalDir(Value);
    if (D == FDirectory)
        return;
    FDirectory = D;
    ReadDirectoryNames();
    Change();
}

void TDirectoryListBox::OpenCurrent()
{
    if (FItemIndex >= 0 && FItemIndex < static_cast<int>(FPaths.size()))
        SetDirectory(FPaths[static_cast<std::size_t>(FItemIndex)]);
}

void TDirectoryListBox::DblClick()
{
    OpenCurrent();
    TCustomListBox::DblClick();
}

void TDirectoryListBox::KeyPress(char& Key)
{
    if (Key == '\r') {
        OpenCurrent();
        Key = 0;
        return;
    }
    TCustomListBox::KeyPress(Key);
}

void TDirectoryListBox::SetDirLabel(TControl* Value)
{
    if (FDirLabel)
        FDirLabel->RemoveFreeNotification(this);
    FDirLabel = Value;
    if (FDirLabel) {
        FDirLabel->FreeNotification(this);
        FDirLabel->SetCaption(FDirectory);
    }
}

void TDirectoryListBox::SetFileList(TFileListBox* Value)
{
    if (FFileList)
        FFileList->RemoveFreeNotification(this);
    FFileList = Value;
    if (FFileList) {
        FFileList->FreeNotification(this);
        FFileList->SetDirectory(FDirectory);
    }
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomListBox::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FDirLabel)
            FDirLabel = nullptr;
        if (AComponent == FFileList)
            FFileList = nullptr;
    }
}

void TDirectoryListBox::Loaded()
{
    TCustomListBox::Loaded();
    ReadDirectoryNames();
    Change();
}

void TDirectoryListBox::Change()
{
    if (ComponentState().Contains(csLoading))
        return;
    if (FDirLabel)
        FDirLabel->SetCaption(FDirectory);
    if (FFileList)
        FFileList->SetDirectory(FDirectory);
    if (OnChange)
        OnChange(this);
}

// ---- TDriveComboBox ---------------------------------------------------------------------------
std::vector<std::string> MountPoints()
{
    static const std::set<std::string> Pseudo = {
        "proc",    "sysfs",   "devpts",   "cgroup",    "cgroup2",  "securityfs", "pstore",
        "debugfs", "tracefs", "mqueue",   "hugetlbfs", "configfs", "fusectl",    "binfmt_misc",
        "autofs",  "bpf",     "devtmpfs", "nsfs",      "efivarfs", "rpc_pipefs", "selinuxfs"};
    std::set<std::string> Found;
    std::ifstream In("/proc/mounts");
    std::string Line;
    while (std::getline(In, Line)) {
        std::istringstream L(Line);
        std::string Dev, Dir, Type;
        if (!(L >> Dev >> Dir >> Type) || Dir.empty() || Dir[0] != '/' || Pseudo.count(Type))
            continue;
        // The table writes blanks and other bytes as \ooo.
        std::string D;
        for (std::size_t I = 0; I < Dir.size(); ++I) {
            if (Dir[I] == '\\' && I + 3 < Dir.size() &&
                std::isdigit(static_cast<unsigned char>(Dir[I + 1]))) {
                D += static_cast<char>(std::stoi(Dir.substr(I + 1, 3), nullptr, 8));
                I += 3;
            } else {
                D += Dir[I];
            }
        }
        auto Under = [&D](const char* Root) {
            std::size_t N = std::char_traits<char>::length(Root);
            return D == Root || (D.compare(0, N, Root) == 0 && D.size() > N && D[N] == '/');
        };
        if (Under("/proc") || Under("/sys") || Under("/dev") || (Under("/run") && !Under("/run/media")))
            continue;
        std::error_code EC;
        if (!fs::is_directory(D, EC))
            continue;
        Found.insert(D);
    }
    std::vector<std::string> Result{"/"};
    std::vector<std::string> Rest;
    for (const std::string& D : Found)
        if (D != "/")
            Rest.push_back(D);
    std::sort(Rest.begin(), Rest.end());
    Result.insert(Result.end(), Rest.begin(), Rest.end());
    return Result;
}

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TCustomComboBox(AOwner)
{
    FStyle = csDropDownList;
    AdjustHeight();
    ReadMountPoints();
    SelectFor(GetCurrentDir());
}

TDriveComboBox::~TDriveComboBox() = default;

void TDriveComboBox::ReadMountPoints()
{
    std::string Old = Drive();
    FItems->BeginUpdate();
    FItems->Clear();
    for (const std::string& M : MountPoints())
        FItems->Add(M);
    FItems->EndUpdate();
    SetItemIndex(std::max(0, FItems->IndexOf(Old)));
}

void TDriveComboBox::CreateWnd()
{
    TCustomComboBox::CreateWnd();
    if (FItemIndex < 0)
        SelectFor(FDirList ? FDirList->Directory() : GetCurrentDir());
}

std::string TDriveComboBox::Drive() const
{
    if (FItemIndex < 0 || FItemIndex >= FItems->Count())
        return "/";
    return FItems->Strings(FItemIndex);
}

void TDriveComboBox::SetDrive(const std::string& Value)
{
    int I = FItems->IndexOf(Value);
    if (I < 0 || I == FItemIndex)
        return;
    SetItemIndex(I);
    Change();
}

void TDriveComboBox::SelectFor(const std::string& Path)
{
    std::string P = NormalDir(Path);
    int Best = 0;
    std::size_t BestLen = 0;
    for (int I = 0; I < FItems->Count(); ++I) {
        std::string M = FItems->Strings(I);
        bool Holds = M == "/" || P == M ||
                     (P.compare(0, M.size(), M) == 0 && P.size() > M.size() && P[M.size()] == '/');
        if (Holds && M.size() >= BestLen) {
            Best = I;
            BestLen = M.size();
        }
    }
    if (FItems->Count() > 0)
        SetItemIndex(Best);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* Value)
{
    if (FDirList)
        FDirList->RemoveFreeNotification(this);
    FDirList = Value;
    if (FDirList) {
        FDirList->FreeNotification(this);
        SelectFor(FDirList->Directory());
    }
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDirList)
        FDirList = nullptr;
}

void TDriveComboBox::Change()
{
    // Choosing a file system opens its top directory in the directory list.
    if (FDirList && !ComponentState().Contains(csLoading))
        FDirList->SetDirectory(Drive());
    TCustomComboBox::Change();
}

// ---- Registration -----------------------------------------------------------------------------
TW_PUBLISH(TFileListBox, TCustomListBox)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Str("Mask", &TFileListBox::Mask, &TFileListBox::SetMask).Default(std::string("*.*"));
    Cls.Component("FileEdit", &TFileListBox::FileEdit, &TFileListBox::SetFileEdit);
    Cls.Bool("ShowGlyphs", &TFileListBox::ShowGlyphs).Default(false);
    Cls.Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    Cls.Int("ItemHeight", &TCustomListBox::StoredItemHeight, &TCustomListBox::SetItemHeight).Default(16);
    Cls.Bool("IntegralHeight", &TCustomListBox::IntegralHeight).Default(false);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TFileListBox::OnChange);
}

TW_PUBLISH(TDirectoryListBox, TCustomListBox)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Component("DirLabel", &TDirectoryListBox::DirLabel, &TDirectoryListBox::SetDirLabel);
    Cls.Component("FileList", &TDirectoryListBox::FileList, &TDirectoryListBox::SetFileList);
    Cls.Int("ItemHeight", &TCustomListBox::StoredItemHeight, &TCustomListBox::SetItemHeight).Default(16);
    Cls.Bool("IntegralHeight", &TCustomListBox::IntegralHeight).Default(false);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TDirectoryListBox::OnChange);
}

TW_PUBLISH(TDriveComboBox, TCustomComboBox)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Component("DirList", &TDriveComboBox::DirList, &TDriveComboBox::SetDirList);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TCustomComboBox::OnChange);
}
