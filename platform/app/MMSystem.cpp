#include "platform/app/MMSystem.h"

#include "platform/app/ShellApi.h"
#include "platform/win/WinUser.h"

BOOL sndPlaySound(const char* SoundName, UINT Flags)
{
    if (!SoundName || !*SoundName || (Flags & SND_MEMORY))
        return FALSE;
    TSystemCall Call;
    Call.Kind = TSystemCall::PlaySound;
    Call.File = SoundName;
    Call.Flags = Flags;
    try {
        return PerformSystemCall(Call) > 0 ? TRUE : FALSE;
    } catch (...) {
        // A sound is never worth an error.
        return FALSE;
    }
}

DWORD timeGetTime()
{
    return GetTickCount();
}
