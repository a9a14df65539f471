// The Win32 subset in one include: the GDI calls (WinGdi.h), the window model (WinUser.h) and
// the message numbers and records (Messages.h).
#pragma once

#include "platform/graphics/WinGdi.h"
#include "platform/win/Messages.h"
#include "platform/win/WinUser.h"
