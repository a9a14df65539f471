#pragma once

#include "platform/classes/Classes.h"

#include <string>
#include <vector>

namespace testing_support {

// A string list's lines as a vector, so a test can compare them in one expectation.
inline std::vector<std::string> ItemsOf(TStrings* S)
{
    std::vector<std::string> V;
    for (int I = 0; I < S->Count(); ++I)
        V.push_back(S->Strings(I));
    return V;
}

} // namespace testing_support
