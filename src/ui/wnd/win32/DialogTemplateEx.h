#pragma once

#include "ui/wnd/DialogTemplate.h"

#include <cstdint>
#include <vector>

// The dialog as the system's in-memory extended template (DLGTEMPLATEEX and its items), for
// CreateDialogIndirectParamW: the same layout the other back end builds from. Hidden until
// shown.
std::vector<uint16_t> BuildDialogTemplateEx(const DialogTemplate& dialogTemplate);
