#pragma once

#include <cstdarg>
#include <string>

class ServerListener;

// printf-style, at most 255 bytes of it, cut where a whole character ends. Texts from outside
// the program go in as "%s" arguments, never as the format.
// gnu_printf: checked as C99 formats (%zu) also by mingw, whose "printf" means msvcrt's.
std::string FormatTrace(const char* format, va_list args) __attribute__((format(gnu_printf, 1, 0)));
void Trace(ServerListener& to, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
