#include "platform/ComputerName.h"

#include "platform/win32/WideText.h"

#include <windows.h>

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &length)) return {};
    return wide::ToCp932(std::wstring_view(name, length)).value_or("");
}
