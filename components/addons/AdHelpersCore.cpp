#include "components/addons/AdHelpersCore.h"

#include "platform/controls/Forms.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <cassert>

int LargerOf(int A, int B)
{
    return A > B ? A : B;
}

int SmallerOf(int A, int B)
{
    return A < B ? A : B;
}

int LargestOfArray(const std::vector<int>& Values)
{
    assert(!Values.empty());
    return *std::max_element(Values.begin(), Values.end());
}

int LargestOfArray(std::initializer_list<int> Values)
{
    assert(Values.size() > 0);
    return std::max(Values);
}

void InitAdCursors()
{
    HINSTANCE Instance = GetModuleHandle(nullptr);
    ScreenInstance()->SetCursors(CursorHandPoint, LoadCursor(Instance, "AD_HANDCUR"));
    ScreenInstance()->SetCursors(CursorHandDrag, LoadCursor(Instance, "AD_DRAGCUR"));
}
