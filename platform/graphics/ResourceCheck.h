// The check of the program's compiled-in resources at start-up. Two compiled-in resources of one
// type and id are a fault of the build (one resource directory linked twice, two units giving the
// same name): RegisterStaticResource keeps the first and notes the second, since before main
// nothing can report.
#pragma once

#include "platform/rtl/SysUtils.h"

class EDuplicateResource : public Exception {
public:
    using Exception::Exception;
};

// Raises EDuplicateResource naming every compiled-in resource registered twice ("Duplicate
// resources in the program: FORM TFORM1, BITMAP 1001"). RunProgram calls it first; removing a
// resource (UnregisterResource) drops its note.
void CheckResourceNames();
