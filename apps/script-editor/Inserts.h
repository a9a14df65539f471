// The insertion commands of the script editor's frame: fixed tags, tags around or before the
// selection, the tag builders' texts, and the blocks pasted through the clipboard.
#pragma once

#include "platform/classes/TypInfo.h"
#include "platform/graphics/ColorText.h"
#include "platform/graphics/Graphics.h"

#include <string>

class TMainForm;

// The colour as the builders write it: a double quote, "#", the six digits, a double quote.
std::string QuotedColorText(TColor Color);

// Registers the frame's insertion and navigator handlers and the builders' fields.
void PublishInsertionMembers(TClassBuilder<TMainForm>& Cls);
