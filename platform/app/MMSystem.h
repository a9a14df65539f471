// The multimedia calls the programs use: playing a wave file and the millisecond clock.
#pragma once

#include "platform/rtl/Types.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;
constexpr UINT SND_MEMORY = 0x0004;
constexpr UINT SND_LOOP = 0x0008;
constexpr UINT SND_NOSTOP = 0x0010;

// Plays a sound file with the first audio player found on PATH, in the background (SND_SYNC
// is treated as SND_ASYNC: nothing here waits for a sound). TRUE when the player started. A
// missing file, a missing player, a null name (which stops sounds on the platform) or
// SND_MEMORY plays nothing, silently: never an error. Passes through PerformSystemCall
// (platform/app/ShellApi.h), so tests record it.
BOOL sndPlaySound(const char* SoundName, UINT Flags);

// Milliseconds of the window model's clock (GetTickCount), so animations keep time with the
// test clock.
DWORD timeGetTime();
