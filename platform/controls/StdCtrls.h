// The standard controls: edits and memos, labels, buttons, check and radio boxes, group boxes,
// scroll bars, list and combo boxes.
#pragma once

#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/controls/StdLists.h"
