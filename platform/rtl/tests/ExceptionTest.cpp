#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

TEST(Exceptions, AbortIsSilentAndCaughtAsException)
{
    try {
        Abort();
        FAIL() << "Abort returned";
    } catch (const EAbort& e) {
        EXPECT_FALSE(e.Message().empty());
    }
    try {
        throw EAbort("x");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "x");
    }
}
