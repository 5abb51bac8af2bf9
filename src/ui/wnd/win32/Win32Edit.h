#pragma once

#include <cstddef>

struct HWND__;

// What the user may type into a single-line edit: only characters CP932 holds, at most a
// number of CP932 bytes, and for a number edit only digits. Text the program sets is not
// checked. The rules live as long as the edit.
void ApplyTypingRules(HWND__* edit, bool digitsOnly);
void SetTypedByteLimit(HWND__* edit, size_t maxBytes);
