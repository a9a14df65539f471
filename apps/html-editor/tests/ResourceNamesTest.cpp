// The test program links the resources tamsel does: no name among them is given twice, or tamsel
// would refuse to start.
#include "platform/graphics/ResourceCheck.h"

#include <gtest/gtest.h>

TEST(ResourceNames, NoCompiledInResourceIsGivenTwice)
{
    try {
        CheckResourceNames();
    } catch (const EDuplicateResource& E) {
        ADD_FAILURE() << E.Message();
    }
}
