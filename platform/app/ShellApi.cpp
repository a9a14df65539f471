#include "platform/app/ShellApi.h"

#include "platform/app/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/rtl/SysUtils.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cctype>
#include <filesystem>

namespace {

constexpr int ShellOk = 42;
constexpr int StartedOk = 33;

QString Q(const std::string& S)
{
    return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size()));
}

bool IsAddress(const std::string& S)
{
    const auto Colon = S.find(':');
    if (Colon != std::string::npos && Colon > 1) {
        // A scheme: letters, digits, "+", "-", "." before the colon (one letter is a drive).
        bool Scheme = true;
        for (std::size_t I = 0; I < Colon; ++I) {
            const char C = S[I];
            if (!(std::isalnum(static_cast<unsigned char>(C)) || C == '+' || C == '-' || C == '.'))
                Scheme = false;
        }
        if (Scheme)
            return true;
    }
    return S.rfind("www.", 0) == 0;
}

// Windows-style names the programs build ("dir\temp.html") become native ones; other
// arguments are left exactly as written.
std::string MapArgument(const std::string& Arg)
{
    if (Arg.find('\\') == std::string::npos && !(Arg.size() >= 2 && Arg[1] == ':'))
        return Arg;
    const std::string Mapped = MapPath(Arg);
    std::error_code Ec;
    const std::filesystem::path P(Mapped);
    if (std::filesystem::exists(P, Ec) ||
        (P.has_parent_path() && std::filesystem::is_directory(P.parent_path(), Ec)))
        return Mapped;
    return Arg;
}

// The program a command names: a path as given (mapped), else looked up on PATH.
// Returns an error code below 32, or 0 with Program set.
int ResolveProgram(const std::string& Name, QString& Program)
{
    if (Name.empty())
        return ERROR_FILE_NOT_FOUND;
    if (Name.find('/') == std::string::npos && Name.find('\\') == std::string::npos) {
        Program = QStandardPaths::findExecutable(Q(Name));
        if (Program.isEmpty())
            return QFileInfo::exists(Q(Name)) ? SE_ERR_ACCESSDENIED : ERROR_FILE_NOT_FOUND;
        return 0;
    }
    const QFileInfo Info(Q(MapPath(Name)));
    if (!Info.exists())
        return Info.dir().exists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    if (Info.isDir())
        return SE_ERR_ACCESSDENIED;
    if (!Info.isExecutable())
        return SE_ERR_ACCESSDENIED;
    Program = Info.absoluteFilePath();
    return 0;
}

int StartProgram(const std::string& File, const std::vector<std::string>& Args, const std::string& Directory)
{
    QString Program;
    if (int Error = ResolveProgram(File, Program))
        return Error;
    QStringList List;
    for (const std::string& A : Args)
        List << Q(MapArgument(A));
    QString Dir;
    if (!Directory.empty())
        Dir = Q(MapPath(Directory));
    // startDetached runs the program by itself (no shell) and never leaves a zombie behind.
    if (!QProcess::startDetached(Program, List, Dir))
        return ERROR_BAD_FORMAT;
    return StartedOk;
}

int OpenWithDesktop(const std::string& Target)
{
    QUrl Url;
    if (IsAddress(Target)) {
        Url = QUrl::fromUserInput(Q(Target));
    } else {
        const std::string Path = MapPath(Target);
        std::error_code Ec;
        if (!std::filesystem::exists(Path, Ec))
            return ERROR_FILE_NOT_FOUND;
        Url = QUrl::fromLocalFile(QFileInfo(Q(Path)).absoluteFilePath());
    }
    if (!Url.isValid())
        return ERROR_FILE_NOT_FOUND;
    return QDesktopServices::openUrl(Url) ? ShellOk : SE_ERR_NOASSOC;
}

int DoShellExecute(const TSystemCall& Call)
{
    std::string Verb = LowerCase(Call.Operation);
    if (!Verb.empty() && Verb != "open" && Verb != "explore")
        return SE_ERR_NOASSOC;
    if (Call.File.empty())
        return ERROR_FILE_NOT_FOUND;
    if (!IsAddress(Call.File)) {
        const std::string Path = MapPath(Call.File);
        const QFileInfo Info(Q(Path));
        if (!Info.exists())
            return ERROR_FILE_NOT_FOUND;
        // A program is started rather than handed to the desktop, as the shell does.
        if (Info.isFile() && Info.isExecutable())
            return StartProgram(Path, SplitCommandLine(Call.Parameters), Call.Directory) == StartedOk
                       ? ShellOk
                       : SE_ERR_NOASSOC;
    }
    return OpenWithDesktop(Call.File);
}

// The first audio player found on PATH and the arguments it needs before the file.
bool FindAudioPlayer(QString& Player, QStringList& Args)
{
    static const char* const Players[][2] = {{"paplay", ""}, {"pw-play", ""}, {"aplay", "-q"}};
    for (const auto& P : Players) {
        const QString Found = QStandardPaths::findExecutable(QString::fromLatin1(P[0]));
        if (!Found.isEmpty()) {
            Player = Found;
            Args.clear();
            if (*P[1])
                Args << QString::fromLatin1(P[1]);
            return true;
        }
    }
    return false;
}

int DoPlaySound(const TSystemCall& Call)
{
    if (Call.File.empty())
        return 0;
    const QFileInfo Info(Q(MapPath(Call.File)));
    if (!Info.isFile() || !Info.isReadable())
        return 0;
    QString Player;
    QStringList Args;
    if (!FindAudioPlayer(Player, Args))
        return 0;
    Args << Info.absoluteFilePath();
    return QProcess::startDetached(Player, Args) ? 1 : 0;
}

} // namespace

int PerformSystemCall(const TSystemCall& Call)
{
    if (TSystemCallHandler* Handler = SystemCallHandler())
        return Handler->Perform(Call);
    switch (Call.Kind) {
    case TSystemCall::ShellExecute:
        return DoShellExecute(Call);
    case TSystemCall::StartProgram:
        return StartProgram(Call.File, SplitCommandLine(Call.Parameters), Call.Directory);
    case TSystemCall::PlaySound:
        return DoPlaySound(Call);
    case TSystemCall::Help:
        return OpenWithDesktop(Call.File);
    case TSystemCall::MessageBeep:
        QApplication::beep();
        return 1;
    }
    return 0;
}

BOOL MessageBeep(UINT Type)
{
    TSystemCall Call;
    Call.Kind = TSystemCall::MessageBeep;
    Call.Flags = Type;
    return PerformSystemCall(Call) > 0 ? TRUE : FALSE;
}

HINSTANCE ShellExecute(HWND, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd)
{
    TSystemCall Call;
    Call.Kind = TSystemCall::ShellExecute;
    Call.Operation = Operation ? Operation : "";
    Call.File = File ? File : "";
    Call.Parameters = Parameters ? Parameters : "";
    Call.Directory = Directory ? Directory : "";
    Call.ShowCmd = ShowCmd;
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(PerformSystemCall(Call)));
}

std::vector<std::string> SplitCommandLine(const std::string& CmdLine)
{
    std::vector<std::string> Args;
    std::string Cur;
    bool InArg = false, Quoted = false;
    for (std::size_t I = 0; I < CmdLine.size(); ++I) {
        const char C = CmdLine[I];
        if (C == '"') {
            InArg = true;
            if (Quoted && I + 1 < CmdLine.size() && CmdLine[I + 1] == '"') {
                Cur += '"';
                ++I;
            } else {
                Quoted = !Quoted;
            }
        } else if ((C == ' ' || C == '\t') && !Quoted) {
            if (InArg) {
                Args.push_back(Cur);
                Cur.clear();
                InArg = false;
            }
        } else {
            Cur += C;
            InArg = true;
        }
    }
    if (InArg)
        Args.push_back(Cur);
    return Args;
}

UINT WinExec(const char* CmdLine, UINT ShowCmd)
{
    std::vector<std::string> Args = SplitCommandLine(CmdLine ? CmdLine : "");
    if (Args.empty())
        return ERROR_FILE_NOT_FOUND;
    TSystemCall Call;
    Call.Kind = TSystemCall::StartProgram;
    Call.File = Args.front();
    // The rest of the line as written, so the recorder sees what the program gets.
    std::string Line = CmdLine;
    std::size_t I = 0;
    while (I < Line.size() && (Line[I] == ' ' || Line[I] == '\t'))
        ++I;
    bool Quoted = false;
    for (; I < Line.size(); ++I) {
        if (Line[I] == '"')
            Quoted = !Quoted;
        else if ((Line[I] == ' ' || Line[I] == '\t') && !Quoted)
            break;
    }
    while (I < Line.size() && (Line[I] == ' ' || Line[I] == '\t'))
        ++I;
    Call.Parameters = Line.substr(I);
    Call.ShowCmd = static_cast<int>(ShowCmd);
    const int Result = PerformSystemCall(Call);
    return Result < 0 ? 0 : static_cast<UINT>(Result);
}

// ---------------------------------------------------------------------------------------------
// Help

std::string FindHtmlHelpFile(const std::string& HelpFile)
{
    if (HelpFile.empty())
        return {};
    const std::string Html = ChangeFileExt(ExtractFileName(HelpFile), ".html");
    std::vector<std::string> Places;
    const std::string Own = ExtractFilePath(HelpFile);
    if (!Own.empty())
        Places.push_back(Own);
    Places.push_back(IncludeTrailingPathDelimiter(GetCurrentDir()));
    std::error_code Ec;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Ec);
    if (!Ec) {
        Places.push_back(Exe.parent_path().string() + "/");
        Places.push_back(Exe.parent_path().string() + "/data/");
    }
    for (const std::string& Dir : Places) {
        const std::string Candidate = MapPath(Dir + Html);
        if (FileExists(Candidate))
            return ExpandFileName(Candidate);
    }
    return {};
}

BOOL WinHelp(HWND Wnd, const char* HelpFile, UINT Command, ULONG_PTR Data)
{
    if (Command == HELP_QUIT)
        return TRUE;
    const std::string Name = HelpFile ? HelpFile : "";
    const std::string Html = FindHtmlHelpFile(Name);
    if (Html.empty()) {
        const std::string Shown =
            Name.empty() ? std::string("(none)") : ChangeFileExt(ExtractFileName(Name), ".html");
        const std::string Caption = Application ? Application->Title() : std::string("Help");
        MessageBox(Wnd, "Cannot find the help file " + Shown + ".", Caption, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    TSystemCall Call;
    Call.Kind = TSystemCall::Help;
    Call.Operation = std::to_string(Command);
    Call.File = Html;
    if (Command == HELP_KEY || Command == HELP_PARTIALKEY) {
        if (Data)
            Call.Parameters = reinterpret_cast<const char*>(Data);
    } else {
        Call.Flags = static_cast<UINT>(Data);
    }
    return PerformSystemCall(Call) > 32 ? TRUE : FALSE;
}
