#include "apps/script-editor/Childwin.h"

#include "apps/script-editor/Main.h"
#include "platform/app/Application.h"
#include "platform/classes/TypInfo.h"

bool TMDIChild::QuerySaveChanges()
{
    if (!ColorMemo1 || !ColorMemo1->Modified())
        return true;
    int Answer = Application->MessageBox("Your file has been modified. Do you wish to save the changes made?",
                                         "Save Changes to File?", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (Answer == IDCANCEL)
        return false;
    // A Save dialog cancelled after Yes keeps the window: the text is not lost.
    return Answer != IDYES || (MainForm && MainForm->SaveDocument(this));
}

void TMDIChild::FormClose(TObject*, TCloseAction& Action)
{
    if (!QuerySaveChanges()) {
        Action = caNone;
        return;
    }
    ColorMemo1->SetModified(false);
    Action = caFree;
}

TW_PUBLISH(TMDIChild, TForm)
{
    Cls.Field("ColorMemo1", &TMDIChild::ColorMemo1);
    Cls.Handler("FormClose", &TMDIChild::FormClose);
}
