#pragma once

#include "ui/wnd/DialogTemplate.h"

// Dialog and control ids, numbered as the Windows version numbers them.
inline constexpr int IDD_SIGNALSERVER_DIALOG = 102;
inline constexpr int IDD_TITLEBAR_DIALOG = 134;
inline constexpr int IDD_UNITLIST_DIALOG = 140;
inline constexpr int IDD_MQTT_DIALOG = 150;
// The application icon, every size rendered from res/NR-QD8K.svg.
inline constexpr char IDR_MAINFRAME[] = "icons";

inline constexpr int IDC_EDIT_PORT = 1000;
inline constexpr int IDC_BUTTON_SERVER = 1001;
inline constexpr int IDC_EDIT_TRACE = 1002;
inline constexpr int IDC_EDIT_DI1 = 1004;
inline constexpr int IDC_EDIT_DI2 = 1005;
inline constexpr int IDC_EDIT_DI3 = 1006;
inline constexpr int IDC_EDIT_DI4 = 1007;
inline constexpr int IDC_EDIT_DI5 = 1008;
inline constexpr int IDC_CHECK_LOGGING = 1010;
inline constexpr int IDC_BUTTON_BROWSE_LOG = 1013;
inline constexpr int IDC_STATIC_VERSION = 1014;
inline constexpr int IDC_EDIT_LOGFILE = 1015;
inline constexpr int IDC_STATIC_LOCALADDR = 1016;
inline constexpr int IDC_STATIC_STATE = 1017;
inline constexpr int IDC_STATIC_PEER = 1018;
inline constexpr int IDC_EDIT_TITLE = 1018;  // in the title dialog
inline constexpr int IDC_BUTTON_TITLE = 1020;
inline constexpr int IDC_BUTTON_SAVE = 1021;
inline constexpr int IDC_BUTTON_LOAD = 1022;
inline constexpr int IDC_LAMP_DI1 = 1100;
inline constexpr int IDC_LAMP_DI2 = 1101;
inline constexpr int IDC_LAMP_DI3 = 1102;
inline constexpr int IDC_LAMP_DI4 = 1103;
inline constexpr int IDC_LAMP_DI5 = 1104;
// In the unit list.
inline constexpr int IDC_LIST_UNITS = 1200;
inline constexpr int IDC_EDIT_SILENT = 1201;
inline constexpr int IDC_BUTTON_SILENT_APPLY = 1202;
inline constexpr int IDC_BUTTON_CLEAR = 1203;
inline constexpr int IDC_STATIC_UNITS_MQTT = 1204;
// In the broker's dialog.
inline constexpr int IDC_EDIT_MQTT_HOST = 1300;
inline constexpr int IDC_EDIT_MQTT_PORT = 1301;
inline constexpr int IDC_EDIT_MQTT_TOPIC = 1302;
inline constexpr int IDC_EDIT_MQTT_USER = 1303;
inline constexpr int IDC_EDIT_MQTT_PASSWORD = 1304;
inline constexpr int IDC_CHECK_MQTT_DISCOVERY = 1305;
inline constexpr int IDC_STATIC_MQTT_STATE = 1306;
inline constexpr int IDC_STATIC_MQTT_TOPIC_DEFAULT = 1307;

// The main window's context menu, also in its system menu, where the system keeps the low four
// bits of an id: multiples of 16, below 0xF000.
inline constexpr int IDM_UNIT_LIST = 0x0010;
inline constexpr int IDM_MQTT_SETTINGS = 0x0020;
