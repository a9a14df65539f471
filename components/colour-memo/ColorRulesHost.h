// A plain component that holds colour rules and hot-spot settings the way the memo publishes
// them, so rule lists can be read from form descriptions without a window (the tests and the
// fuzzing of the colour scanner do).
#pragma once

#include "components/colour-memo/ColMemo.h"

#include <memory>

class TRulesHost : public TComponent {
public:
    explicit TRulesHost(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TDrawRules* ColorRules() const { return FColorRules.get(); }
    void SetColorRules(TDrawRules* Value) { FColorRules->Assign(Value); }
    THotSpot* HotSpot() const { return FHotSpot.get(); }
    void SetHotSpot(THotSpot* Value) { FHotSpot->Assign(Value); }

private:
    std::unique_ptr<TDrawRules> FColorRules = std::make_unique<TDrawRules>(this);
    std::unique_ptr<THotSpot> FHotSpot = std::make_unique<THotSpot>();
};
TW_LINK_CLASS(TRulesHost);
