// The folder dialog as a component, and the path, window and command-line routines the file and
// directory edits use. Paths are native; Windows-style names are mapped by the platform's path
// mapping, and a "short" name is the name itself.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/FolderBrowser.h"
#include "platform/win/WinUser.h"

#include <set>
#include <string>

class TBrowseFolderDlg : public TComponent {
public:
    explicit TBrowseFolderDlg(TComponent* AOwner);
    ~TBrowseFolderDlg() override;

    // Shows the dialog on Directory; true (Directory the choice) when the user confirmed.
    bool Execute();

    std::string DialogText;
    std::string Directory;
    int HelpContext = 0; // 0: no help button
    TNotifyEvent OnInitialized;
    TNotifyEvent OnSelChanged;

    // While the dialog is open: its window and the directory chosen in it.
    HWND DialogHandle() const { return FDialogHandle; }
    const std::string& Selection() const { return FSelection; }
    int ImageIndex() const { return FImageIndex; }

protected:
    TW_MESSAGE_HANDLERS(TBrowseFolderDlg);
    void WMCommand(TWMCommand Message);
    void WMNCDestroy(TMessage& Message);
    void DefaultHandler(TMessage& Message) override;

private:
    static int BrowseCallback(HWND Wnd, UINT Msg, LPARAM lParam, LPARAM Data);
    WNDPROC FDefWndProc = nullptr;
    HWND FDialogHandle = nullptr;
    WNDPROC FObjectInstance = nullptr;
    std::string FDisplayName;
    std::string FSelection;
    int FImageIndex = 0;
};
TW_LINK_CLASS(TBrowseFolderDlg);

// The folder dialog on Path with Title above the directories; true (Path the choice) when the
// user confirmed.
bool ShowFolderBrowser(std::string& Path, const std::string& Title, int HelpContext);

bool IsExistingDirectory(const std::string& Path);
// False for an empty name and for one holding < > " [ ] or |.
bool IsValidFileName(const std::string& Name);
// Each component of Path as the file system spells it; a component that does not exist leaves
// an empty name between its separators.
std::string LongPathName(const std::string& Path);
std::string ShortPathName(const std::string& Path);
// The last component of Path as found on disk ("" when nothing is there).
std::string LongComponentName(const std::string& Path);
std::string ShortComponentName(const std::string& Path);

void FitRectOnScreen(TRect& Rect);
void CenterWindowOnScreen(HWND Window);

// Command lines: tokens are separated by blanks and control characters; a double quote opens a
// part copied without the quotes up to the next one, blanks included. Tokens have no length
// limit. NextCommandToken answers the position after the token.
const char* NextCommandToken(const char* P, std::string& Token);
int CommandTokenCount(const std::string& CommandLine);
std::string CommandTokenAt(const std::string& CommandLine, int Index); // 0 is the program
// Params are the other tokens joined by blanks, a token holding a blank put back in quotes.
void SplitProgramAndParams(const std::string& CommandLine, std::string& Program, std::string& Params);

// Value unchanged when non-zero; zero raises an Exception saying the chosen item has no path.
int CheckWin32Result(int Value);

// The text from Pos (0-based) up to the next delimiter or the end; Pos then points after it.
std::string ExtractToDelimiter(const std::string& Text, std::size_t& Pos, const std::set<char>& Delimiters);
