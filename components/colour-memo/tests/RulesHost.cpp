#include "RulesHost.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/testing/TestSupport.h"

namespace {
// Colour names in form data come from the graphics unit; make sure it is linked in.
[[maybe_unused]] const std::string LinkColorNames = ColorToString(clRed);
} // namespace

TW_PUBLISH(TRulesHost, TComponent)
{
    Cls.Collection("ColorRules", &TRulesHost::ColorRules, &TRulesHost::SetColorRules);
    Cls.Object("HotSpot", &TRulesHost::HotSpot, &TRulesHost::SetHotSpot);
}

std::string RulesFixture(const std::string& FileName)
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) + "/tests/data/" + FileName);
}

std::unique_ptr<TRulesHost> ReadRulesHost(const std::string& FileName)
{
    auto Host = std::make_unique<TRulesHost>();
    ReadForm(Host.get(), RulesFixture(FileName), FileName);
    return Host;
}
