// The whole framework in one include.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/wrappers.h"
#include "framework/message_box.h"
#include "framework/message_map.h"
#include "framework/wnd.h"
