#pragma once

#include "ui/wnd/CWnd.h"

// A static text or frame; its colours come from its dialog at every paint.
class CStatic : public CWnd {};
