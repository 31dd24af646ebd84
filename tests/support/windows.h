// Another process's windows, as the tests and benchmarks look for them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::string className(HWND window);
// The process's top-level windows of that class ("Vesk" for Quellor, "#32770" for a box).
std::vector<HWND> topLevelWindows(DWORD process, const char* className);
