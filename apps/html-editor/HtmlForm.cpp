#include "apps/html-editor/HtmlForm.h"

#include "platform/classes/TypInfo.h"

Thtmlform* htmlform = nullptr;

// Runs from start-up, shown or not, and never stops: the circles drift off the title page.
void Thtmlform::Timer1Timer(TObject*)
{
    Shape1->SetLeft(Shape1->Left() + 1);
    Shape2->SetLeft(Shape2->Left() + 1);
}

// Finish and Cancel both end the tutorial.
void Thtmlform::CorrinWizard1EndClick(TObject*)
{
    Close();
}

TW_PUBLISH(Thtmlform, TForm)
{
    Cls.Field("Panel1", &Thtmlform::Panel1);
    Cls.Field("Image1", &Thtmlform::Image1);
    Cls.Field("Notebook1", &Thtmlform::Notebook1);
    Cls.Field("Shape1", &Thtmlform::Shape1);
    Cls.Field("Shape2", &Thtmlform::Shape2);
    Cls.Field("CorrinWizard1", &Thtmlform::CorrinWizard1);
    Cls.Field("Timer1", &Thtmlform::Timer1);
    Cls.Handler("Timer1Timer", &Thtmlform::Timer1Timer);
    Cls.Handler("CorrinWizard1EndClick", &Thtmlform::CorrinWizard1EndClick);
}
