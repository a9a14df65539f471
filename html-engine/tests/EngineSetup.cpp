// The engine's start-up for the whole test run, as the programs run it: the stand-in pictures,
// the link cursor and the image cache exist in every test.
#include "html-engine/HtmlImageUtil.h"

#include <gtest/gtest.h>

namespace {

class TEngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { HtmlImageInit(); }
    void TearDown() override { HtmlImageDone(); }
};

[[maybe_unused]] ::testing::Environment* const Engine =
    ::testing::AddGlobalTestEnvironment(new TEngineEnvironment);

} // namespace
