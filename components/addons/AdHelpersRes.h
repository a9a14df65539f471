// Resource helpers of the add-on controls: the "not found" error, bitmaps and strings from the
// program's resources.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"

#include <string>

// A resource identifier as a pointer-sized value: when its high 16 bits are zero it is the
// number in the low 16 bits (TW_MAKEINTRESOURCE), otherwise it points to a zero-terminated name.
using TAdResIdent = const char*;

// True when Ident is a number rather than a name.
bool IsNumericResIdent(TAdResIdent Ident);
// The identifier as text: the decimal number, or the name.
std::string ResIdentText(TAdResIdent Ident);

// Raises EResNotFound "Resource <ident> not found".
[[noreturn]] void RaiseResourceNotFound(TAdResIdent Ident);

// A new bitmap loaded from the bitmap resource Ident, owned by the caller; nullptr when it
// cannot be loaded (the error does not pass on).
TBitmap* BitmapFromResource(HINSTANCE Instance, TAdResIdent Ident);

// The text of string-table entry Ident; empty when there is none.
std::string LoadResourceText(int Ident);
