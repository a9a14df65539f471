// File-system lists: the files of a directory matching a mask (TFileListBox), the path to a
// directory and its subdirectories (TDirectoryListBox) and the file systems to start from
// (TDriveComboBox: "/" and the mount points; the drive letters of the original map onto these).
// They can be chained: drive box -> directory list -> file list -> an edit showing the name.
#pragma once

#include "platform/controls/StdLists.h"

#include <string>
#include <vector>

// Whether a file name matches one of the ";"-separated patterns of Mask ("*.html;*.htm"),
// without regard to case; "*" and "*.*" match every name, and a pattern with a three-letter
// extension also matches longer extensions that begin with it ("*.htm" matches "a.html").
bool MatchesMask(const std::string& FileName, const std::string& Mask);

class TFileListBox : public TCustomListBox {
public:
    explicit TFileListBox(TComponent* AOwner);
    ~TFileListBox() override;

    // Patterns separated by ";" (default "*.*").
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& Value);
    // The directory listed (native path; a Windows-style one is mapped); default the current one.
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value);
    // The full path of the chosen file ("" when none); setting it selects the file, changing to
    // its directory first.
    std::string FileName() const;
    void SetFileName(const std::string& Value);
    // An edit (or any control) whose text shows the chosen name, or the mask when none is chosen.
    TControl* FileEdit() const { return FFileEdit; }
    void SetFileEdit(TControl* Value);
    bool ShowGlyphs = false;
    // Reads the directory again.
    void ReadFileNames();

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void SelectionChangedByUser() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    std::string FMask = "*.*";
    std::string FDirectory;
    TControl* FFileEdit = nullptr;
};
TW_LINK_CLASS(TFileListBox);

class TDirectoryListBox : public TCustomListBox {
public:
    explicit TDirectoryListBox(TComponent* AOwner);
    ~TDirectoryListBox() override;

    // The directory shown open; its path components come first, each one level deeper, then
    // its subdirectories.
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value);
    // The full path of an item.
    std::string GetItemPath(int Index) const;
    // Opens the selected item (what a double click or Enter does).
    void OpenCurrent();
    // A label whose caption shows the directory.
    TControl* DirLabel() const { return FDirLabel; }
    void SetDirLabel(TControl* Value);
    TFileListBox* FileList() const { return FFileList; }
    void SetFileList(TFileListBox* Value);
    // Depth of an item (0 for "/").
    int ItemLevel(int Index) const;
    // Reads the path and the subdirectories again.
    void ReadDirectoryNames();

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    int TextIndent(int Index) const override;
    void DblClick() override;
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    std::string FDirectory;
    std::vector<std::string> FPaths; // full path of each item
    std::vector<int> FLevels;
    TControl* FDirLabel = nullptr;
    TFileListBox* FFileList = nullptr;
};
TW_LINK_CLASS(TDirectoryListBox);

// The mount points of the machine, "/" first, then the others in alphabetical order (pseudo
// file systems such as /proc and /sys left out).
std::vector<std::string> MountPoints();

class TDriveComboBox : public TCustomComboBox {
public:
    explicit TDriveComboBox(TComponent* AOwner);
    ~TDriveComboBox() override;

    // The chosen mount point ("/" at first).
    std::string Drive() const;
    void SetDrive(const std::string& Value);
    TDirectoryListBox* DirList() const { return FDirList; }
    void SetDirList(TDirectoryListBox* Value);
    // Chooses the mount point that holds Path (the longest one containing it).
    void SelectFor(const std::string& Path);
    // Reads the mount points again.
    void ReadMountPoints();

protected:
    void Change() override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TDirectoryListBox* FDirList = nullptr;
};
TW_LINK_CLASS(TDriveComboBox);
