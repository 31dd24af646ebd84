# The shipped build: 32-bit Windows, cross-compiled with mingw-w64 (posix threads for GoogleTest; linked statically, so no extra runtime DLLs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Windows 95 runs on a 386DX, and so must every file built here: without -march, Debian's
# compiler would use the Pentium Pro's cmov and fcomi. -mtune=generic, the compiler's own
# default, only picks among the 386's instructions, for the processors these files mostly run
# on today. As options of every target, compiled and linked (the link generates the optimised
# code), they also reach a build folder configured before, which cached flags would not.
# An interlocked operation whose result is used (an increment's new value, a compare-and-
# exchange) then has no instruction and fails to link: Windows 95 cannot give that either.
add_compile_options(-march=i386 -mtune=generic)
add_link_options(-march=i386 -mtune=generic)
