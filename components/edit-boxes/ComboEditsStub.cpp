#include "components/edit-boxes/ComboEditsStub.h"

#include "platform/classes/TypInfo.h"

TW_PUBLISH(TFilenameEdit, TEdit)
{
    Cls.Str("Filter", &TFilenameEdit::Filter);
    Cls.Str("DefaultExt", &TFilenameEdit::DefaultExt);
    Cls.Str("DialogTitle", &TFilenameEdit::DialogTitle);
    Cls.Str("InitialDir", &TFilenameEdit::InitialDir);
}

TW_PUBLISH(TDirectoryEdit, TEdit)
{
    Cls.Str("DialogText", &TDirectoryEdit::DialogText);
    Cls.Str("InitialDir", &TDirectoryEdit::InitialDir);
}
