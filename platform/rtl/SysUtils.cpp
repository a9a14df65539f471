#include "platform/rtl/SysUtils.h"

void Abort() { throw EAbort("Operation aborted"); }
