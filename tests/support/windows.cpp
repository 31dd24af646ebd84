#include "tests/support/windows.h"

namespace {

struct Search {
    DWORD process;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM context)
{
    auto search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && className(window) == search->className)
        search->found.push_back(window);
    return TRUE;
}

} // namespace

std::string className(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> topLevelWindows(DWORD process, const char* className)
{
    Search search{process, className, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
