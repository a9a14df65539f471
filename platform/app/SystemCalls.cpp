#include "platform/app/SystemCalls.h"

namespace {
TSystemCallHandler* gHandler = nullptr;
}

void SetSystemCallHandler(TSystemCallHandler* Handler)
{
    gHandler = Handler;
}
TSystemCallHandler* SystemCallHandler()
{
    return gHandler;
}
