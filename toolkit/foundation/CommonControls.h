// The common-control, rich-edit and multimedia declarations, after the project's Windows header
// whose types they need.
#pragma once

#include "toolkit/foundation/WinApi.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <richedit.h>
