#pragma once

#include "ui/wnd/DialogTemplate.h"

const DialogTemplate& SignalServerDialogTemplate();
const DialogTemplate& TitleBarDialogTemplate();
const DialogTemplate& UnitListDialogTemplate();
const DialogTemplate& MqttDialogTemplate();
