// Integer helpers and the two extra screen cursors shared by the add-on controls.
#pragma once

#include <initializer_list>
#include <vector>

// Screen cursor numbers of the pointing hand and the dragging hand.
inline constexpr int CursorHandPoint = 14000;
inline constexpr int CursorHandDrag = 14001;

// The larger (smaller) of the two; B when they are equal.
int LargerOf(int A, int B);
int SmallerOf(int A, int B);
// The largest element; Values must not be empty.
int LargestOfArray(const std::vector<int>& Values);
int LargestOfArray(std::initializer_list<int> Values);

// Start-up step: puts the cursor resources "AD_HANDCUR" and "AD_DRAGCUR" of the program into the
// screen's cursor slots CursorHandPoint and CursorHandDrag. A program calls it once, before it
// creates its first window; the screen releases the cursors.
void InitAdCursors();
