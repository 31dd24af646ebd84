#include "sensors/system/access/mapping.h"

#include <windows.h>

static const SIZE_T maxCopy = 4u << 20;

// Committed and readable: a mapping made with SEC_RESERVE may have pages that are neither.
static SIZE_T readableSize(const void* view)
{
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(view, &region, sizeof region) != sizeof region || region.State != MEM_COMMIT)
        return 0;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ
        | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(region.Protect & readable) || (region.Protect & PAGE_GUARD))
        return 0;
    // The region starts at the view's own start, the base VirtualQuery rounds to.
    SIZE_T skipped = static_cast<const unsigned char*>(view) - static_cast<const unsigned char*>(region.BaseAddress);
    return region.RegionSize > skipped ? region.RegionSize - skipped : 0;
}

bool MappingCopy::read(const char* name, const char* mutexName, Bytes& copy)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    if (!mapping)
        return false;
    bool copied = false;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view) {
        SIZE_T size = readableSize(view);
        if (size > maxCopy)
            size = maxCopy;
        unsigned char* into = size > 0 ? buffer.reserve(size) : nullptr;
        if (into) {
            HANDLE mutex = mutexName ? OpenMutexA(SYNCHRONIZE, FALSE, mutexName) : nullptr;
            DWORD waited = mutex ? WaitForSingleObject(mutex, 5) : WAIT_FAILED;
            CopyMemory(into, view, size);
            if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
                ReleaseMutex(mutex);
            if (mutex)
                CloseHandle(mutex);
            copy = Bytes(into, static_cast<unsigned long>(size));
            copied = true;
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return copied;
}
