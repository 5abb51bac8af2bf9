#include "DialogTemplates.h"

#include "Strings.h"
#include "resource.h"
#include "settings/HomeFiles.h"
#include "ui/wnd/CFont.h"

namespace {

using enum ControlKind;

constexpr unsigned kNameEdit = kStyleBorder | kStyleTabStop;

// In tab order.
constexpr ControlTemplate kSignalServerControls[] = {
    {IDC_BUTTON_LOAD, PushButton, kTplLoadSettings, kStyleTabStop, 5, 5, 85, 14},
    {IDC_BUTTON_SAVE, PushButton, kTplSaveSettings, kStyleTabStop, 5, 25, 85, 14},
    {IDC_BUTTON_TITLE, PushButton, kTplChangeTitle, kStyleTabStop, 170, 5, 85, 14},
    {IDC_STATIC_LOCALADDR, Static, "Static", kStyleNone, 5, 65, 120, 8},
    // Two lines high: the silent count goes under the peer when there is one.
    {IDC_STATIC_PEER, Static, "Static", kStyleNone, 135, 65, 120, 16},
    {kIdStatic, Static, kTplPortLabel, kStyleNone, 5, 113, 75, 8},
    {IDC_EDIT_PORT, Edit, "", kStyleBorder | kStyleTabStop | kStyleNumber, 85, 111, 40, 14},
    {IDC_BUTTON_SERVER, PushButton, "hogehoge", kStyleTabStop, 5, 129, 120, 20},
    {IDC_STATIC_STATE, Static, "Static", kStyleBorder | kStyleCentre, 10, 159, 110, 25},
    {kIdStatic, GroupBox, "DI", kStyleNone, 135, 81, 120, 135},
    {IDC_EDIT_DI1, Edit, "", kNameEdit, 140, 91, 85, 15},
    {IDC_LAMP_DI1, Static, "", kStyleStaticEdge, 230, 91, 16, 15},
    {kIdStatic, EtchedLine, "", kStyleNone, 140, 111, 105, 1},
    {IDC_EDIT_DI2, Edit, "", kNameEdit, 140, 117, 85, 15},
    {IDC_LAMP_DI2, Static, "", kStyleStaticEdge, 230, 117, 16, 15},
    {kIdStatic, EtchedLine, "", kStyleNone, 140, 137, 105, 1},
    {IDC_EDIT_DI3, Edit, "", kNameEdit, 140, 141, 85, 15},
    {IDC_LAMP_DI3, Static, "", kStyleStaticEdge, 230, 141, 16, 15},
    {kIdStatic, EtchedLine, "", kStyleNone, 140, 161, 105, 1},
    {IDC_EDIT_DI4, Edit, "", kNameEdit, 140, 167, 85, 15},
    {IDC_LAMP_DI4, Static, "", kStyleStaticEdge, 230, 167, 16, 15},
    {kIdStatic, EtchedLine, "", kStyleNone, 140, 187, 105, 1},
    {IDC_EDIT_DI5, Edit, "", kNameEdit, 140, 191, 85, 15},
    {IDC_LAMP_DI5, Static, "", kStyleStaticEdge, 230, 191, 16, 15},
    {IDC_CHECK_LOGGING, CheckBox, kTplLogging, kStyleTabStop, 10, 221, 63, 10},
    {kIdStatic, Static, kTplFileLabel, kStyleNone, 15, 237, 30, 8},
    {IDC_EDIT_LOGFILE, Edit, "", kStyleNoBorder | kStyleTabStop | kStyleMultiLine | kStyleReadOnly,
     50, 237, 145, 20},
    {IDC_BUTTON_BROWSE_LOG, PushButton, kTplBrowse, kStyleTabStop, 205, 237, 50, 14},
    {IDC_STATIC_VERSION, Static, "Static", kStyleRight, 200, 267, 55, 8},
    {IDC_EDIT_TRACE, Edit, "",
     kStyleBorder | kStyleVScroll | kStyleTabStop | kStyleMultiLine | kStyleReadOnly, 160, 25, 95,
     15},
    {kIdStatic, EtchedLine, "", kStyleNone, 5, 50, 250, 1},
};

constexpr ControlTemplate kTitleBarControls[] = {
    {kIdOk, DefPushButton, "OK", kStyleTabStop, 75, 30, 50, 14},
    {kIdCancel, PushButton, kTplCancel, kStyleTabStop, 130, 30, 50, 14},
    {IDC_EDIT_TITLE, Edit, "", kStyleBorder | kStyleTabStop, 5, 10, 175, 14},
};

constexpr MenuItem kSignalServerMenu[] = {
    {IDM_UNIT_LIST, kTextMenuUnitList},
    {IDM_MQTT_SETTINGS, kTextMenuMqtt},
};

// The list first: it has the keyboard when the window opens, for Ctrl+A and Ctrl+C.
constexpr ControlTemplate kUnitListControls[] = {
    {IDC_LIST_UNITS, ListView, "", kStyleBorder | kStyleTabStop, 7, 26, 416, 239},
    {kIdStatic, Static, kTplSilentLabel, kStyleNone, 7, 9, 92, 8},
    {IDC_EDIT_SILENT, Edit, "", kStyleBorder | kStyleTabStop | kStyleNumber, 100, 7, 34, 13},
    {kIdStatic, Static, kTplSilentUnit, kStyleNone, 138, 9, 62, 8},
    {IDC_BUTTON_SILENT_APPLY, DefPushButton, kTplApply, kStyleTabStop, 203, 6, 50, 15},
    {IDC_BUTTON_CLEAR, PushButton, kTplClear, kStyleTabStop, 373, 6, 50, 15},
    {IDC_STATIC_UNITS_MQTT, Static, "", kStyleNone, 7, 270, 416, 8},
};

constexpr unsigned kMqttEdit = kStyleBorder | kStyleTabStop;

constexpr ControlTemplate kMqttControls[] = {
    {kIdStatic, Static, kTplMqttHost, kStyleNone, 7, 10, 70, 8},
    {IDC_EDIT_MQTT_HOST, Edit, "", kMqttEdit, 80, 7, 150, 14},
    {kIdStatic, Static, kTplMqttPort, kStyleNone, 7, 28, 70, 8},
    {IDC_EDIT_MQTT_PORT, Edit, "", kMqttEdit | kStyleNumber, 80, 25, 40, 14},
    {kIdStatic, Static, kTplMqttTopic, kStyleNone, 7, 46, 70, 8},
    {IDC_EDIT_MQTT_TOPIC, Edit, "", kMqttEdit, 80, 43, 150, 14},
    {IDC_STATIC_MQTT_TOPIC_DEFAULT, Static, "", kStyleNone, 80, 59, 150, 8},
    {kIdStatic, Static, kTplMqttUser, kStyleNone, 7, 76, 70, 8},
    {IDC_EDIT_MQTT_USER, Edit, "", kMqttEdit, 80, 73, 150, 14},
    {kIdStatic, Static, kTplMqttPassword, kStyleNone, 7, 94, 70, 8},
    {IDC_EDIT_MQTT_PASSWORD, Edit, "", kMqttEdit | kStylePassword, 80, 91, 150, 14},
    {IDC_CHECK_MQTT_DISCOVERY, CheckBox, kTplMqttDiscovery, kStyleTabStop, 80, 111, 150, 10},
    {kIdStatic, Static, kTplMqttState, kStyleNone, 7, 129, 70, 8},
    {IDC_STATIC_MQTT_STATE, Static, "", kStyleNone, 80, 129, 150, 8},
    {kIdOk, DefPushButton, "OK", kStyleTabStop, 126, 145, 50, 14},
    {kIdCancel, PushButton, kTplCancelWide, kStyleTabStop, 180, 145, 50, 14},
};

constexpr DialogTemplate kSignalServerDialog{
    IDD_SIGNALSERVER_DIALOG, kAppName,         kFacePGothic, 9, 263, 280, true, true,
    kSignalServerControls,   kSignalServerMenu};

// A window of its own beside the main window, with its own task-bar entry.
constexpr DialogTemplate kUnitListDialog{
    IDD_UNITLIST_DIALOG, kTplUnitListDialog, kFacePGothic, 9, 430, 286, true, true,
    kUnitListControls};

constexpr DialogTemplate kTitleBarDialog{
    IDD_TITLEBAR_DIALOG, kTplTitleDialog, kFacePGothic, 9, 187, 50, false, false,
    kTitleBarControls};

constexpr DialogTemplate kMqttDialog{IDD_MQTT_DIALOG, kTplMqttDialog, kFacePGothic, 9, 237, 166,
                                     false,           false,          kMqttControls};

}  // namespace

const DialogTemplate& SignalServerDialogTemplate() {
    return kSignalServerDialog;
}
const DialogTemplate& TitleBarDialogTemplate() {
    return kTitleBarDialog;
}
const DialogTemplate& UnitListDialogTemplate() {
    return kUnitListDialog;
}
const DialogTemplate& MqttDialogTemplate() {
    return kMqttDialog;
}
