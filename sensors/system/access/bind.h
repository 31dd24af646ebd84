// Functions bound at run time from a DLL that older Windows lack (ws2_32, ole32, pdh), so that
// the library still loads there.
#pragma once

#include <windows.h>

template <typename Function>
bool bind(HMODULE module, const char* name, Function& function)
{
    function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return function != nullptr;
}
