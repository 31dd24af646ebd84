// Memory a source's session takes when it first needs it and gives back when it closes, so
// that a source nobody reads holds none, and no two threads ever share it.
#pragma once

#include <windows.h>

template <typename T>
class Block {
public:
    // Room for at least count items, zeroed when new (as VirtualAlloc gives it); nullptr when
    // there is no memory. What is there stays unless more is asked for.
    T* reserve(SIZE_T count)
    {
        if (count <= capacity)
            return items;
        release();
        items = static_cast<T*>(VirtualAlloc(nullptr, count * sizeof(T), MEM_COMMIT, PAGE_READWRITE));
        capacity = items ? count : 0;
        return items;
    }

    void release()
    {
        if (items)
            VirtualFree(items, 0, MEM_RELEASE);
        items = nullptr;
        capacity = 0;
    }

    T* get() const { return items; }

private:
    T* items = nullptr;
    SIZE_T capacity = 0;
};
