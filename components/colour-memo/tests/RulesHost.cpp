#include "RulesHost.h"

#include "platform/classes/FormReader.h"
#include "platform/testing/TestSupport.h"

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
