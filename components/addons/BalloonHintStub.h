// Stand-in for the balloon hint component until it lands: it keeps the published properties
// the forms set and leaves the application's ordinary hint window in place.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"

enum THintStyle : std::uint8_t { hsFlat, hsOffice, hsWindows95 };

class TBalloonHint : public TComponent {
public:
    explicit TBalloonHint(TComponent* AOwner) : TComponent(AOwner) {}
    THintStyle HintStyle = hsWindows95;
};
TW_LINK_CLASS(TBalloonHint);
