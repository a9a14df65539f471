#pragma once

#include "platform/controls/Controls.h"
