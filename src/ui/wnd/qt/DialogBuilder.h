#pragma once

#include "ui/wnd/DialogTemplate.h"

#include <map>

class QDialog;
class QWidget;

// Makes the controls of a template inside the dialog, placed by the dialog font's base units;
// returns the controls that have an id of their own.
std::map<int, QWidget*> BuildDialogControls(const DialogTemplate& dialogTemplate, QDialog& dialog);
