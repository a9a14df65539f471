// The find-file window: drive, directory and file lists for picking a page, which "Now!" opens in
// the viewer window. It keeps its place between showings. Made at start-up from its stored
// description.
#pragma once

#include "platform/controls/FileCtrl.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"

#include <string>

class TForm3 : public TForm {
public:
    using TForm::TForm;
    TLabel* Label1 = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TFileListBox* FileListBox1 = nullptr;
    TLabel* Label4 = nullptr;
    TDriveComboBox* DriveComboBox1 = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* ext = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    void extChange(TObject* Sender);
    void Button1Click(TObject* Sender);

    // Where browsing starts; the user's home directory stands in when it does not exist.
    static constexpr const char* StartDirectory = "C:\\pro";

protected:
    void DoCreate() override;
};
TW_LINK_CLASS(TForm3);

extern TForm3* Form3;
