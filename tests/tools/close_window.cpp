// Closes Quellor's window as its close box would, for `make run` on a headless machine.
#include <windows.h>

int main()
{
    HWND window = FindWindowA("Vesk", "Quellor");
    if (!window)
        return 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
