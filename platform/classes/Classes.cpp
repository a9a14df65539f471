#include "platform/classes/Classes.h"

#include "platform/rtl/SysUtils.h"

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    const std::string from = Dest ? ClassName() : std::string("nil");
    throw Exception("Cannot assign a " + from + " to a " + (Dest ? Dest->ClassName() : ClassName()));
}
