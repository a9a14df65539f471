// The wave player: a non-visual component that starts a wave file playing and returns at once.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"

#include <string>

class TPlayWav : public TComponent {
public:
    explicit TPlayWav(TComponent* AOwner) : TComponent(AOwner) {}
    // Plays FileName when it names a ".wav" file (any case) of at most 250 characters; any other
    // name is silently not played, and a missing file is the sound call's business.
    void Play(const std::string& FileName);
};
TW_LINK_CLASS(TPlayWav);
