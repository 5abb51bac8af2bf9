#pragma once

class DialogUnits;
class QWidget;

// The list control of a template (see ListView.h), its columns as wide as the dialog's units.
QWidget* MakeListView(QWidget* parent, const DialogUnits& units);
