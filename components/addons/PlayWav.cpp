#include "components/addons/PlayWav.h"

#include "platform/app/MMSystem.h"
#include "platform/rtl/SysUtils.h"

void TPlayWav::Play(const std::string& FileName)
{
    if (UpperCase(ExtractFileExt(FileName)) != ".WAV" || FileName.size() > 250)
        return;
    sndPlaySound(FileName.c_str(), SND_ASYNC);
}

TW_PUBLISH(TPlayWav, TComponent) {}
