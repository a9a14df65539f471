// Stand-in for the file and directory edit boxes until they land: plain one-line edits that
// keep the dialog settings they are given (no browse button yet).
#pragma once

#include "platform/controls/StdEdit.h"

class TFilenameEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::string Filter;
    std::string DefaultExt;
    std::string DialogTitle;
    std::string InitialDir;
    std::string FileName() const { return Text(); }
};
TW_LINK_CLASS(TFilenameEdit);

class TDirectoryEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::string DialogText;
    std::string InitialDir;
};
TW_LINK_CLASS(TDirectoryEdit);
