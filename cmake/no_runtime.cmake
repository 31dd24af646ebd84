# The files we ship link no C runtime: msvcrt.dll is not on a bare Windows 95, and the
# runtime's start-up would be most of quellor.exe. What they get instead:
#  - an entry point of their own: quellorStart (ui/entry_point.cpp) for the program,
#    readingsStart for readings.exe, DllMain for a library;
#  - memset, memcpy and strlen, which the compiler emits calls to (core/compiler_helpers.cpp);
#  - libgcc, linked statically, for 64-bit division and the probes of large stack frames;
#  - the import libraries of the system DLLs they call.
# Nothing would construct a static object, so a link with any constructor to run fails.

# Small files: no exceptions or run-time types are used, and sections nothing refers to go.
# The 32-bit build also leaves out the DWARF unwind tables, which only C++ exceptions read;
# 64-bit Windows unwinds by its own tables, which stay.
set(QUELLOR_SMALL_OPTIONS -fno-exceptions -fno-rtti -ffunction-sections)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND QUELLOR_SMALL_OPTIONS -fno-asynchronous-unwind-tables)
endif()

add_library(quellor_compiler_helpers OBJECT ${PROJECT_SOURCE_DIR}/core/compiler_helpers.cpp)
# Or the compiler would turn their loops back into calls to themselves. (Nor are they optimised
# with the program: the calls to them appear only as its code is generated.)
target_compile_options(quellor_compiler_helpers PRIVATE -fno-tree-loop-distribute-patterns ${QUELLOR_SMALL_OPTIONS})

# The linker's list of constructors holds only its two end marks, or the link stops.
math(EXPR quellor_end_marks "2 * ${CMAKE_SIZEOF_VOID_P}")
file(WRITE ${CMAKE_BINARY_DIR}/no_constructors.ld
    "ASSERT(__DTOR_LIST__ - __CTOR_LIST__ == ${quellor_end_marks}, \"a static object needs a constructor, and nothing would run it\")\n")

# The system DLLs' import libraries and libgcc. Static libraries that call them link this too,
# so that the linker meets it after them.
add_library(quellor_system_libraries INTERFACE)
target_link_libraries(quellor_system_libraries INTERFACE kernel32 user32 gdi32 comctl32 shell32 advapi32 gcc)

# An executable starts at quellorStart, or at the function named after the target.
function(link_without_c_runtime target)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL EXECUTABLE)
        set(entry quellorStart)
        if(ARGC GREATER 1)
            set(entry ${ARGV1})
        endif()
        set(entry32 _${entry})
    else()
        set(entry DllMain)
        set(entry32 _DllMain@12) # stdcall, three arguments
    endif()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(entry ${entry32})
        # Windows 95 and NT 4 load nothing that asks for a later version.
        target_link_options(${target} PRIVATE
            -Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0)
    endif()
    target_compile_options(${target} PRIVATE ${QUELLOR_SMALL_OPTIONS})
    # Optimised as one program: a tenth of quellor.exe's code is calls between its small files.
    set_target_properties(${target} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
    target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${entry} -Wl,--gc-sections
        ${CMAKE_BINARY_DIR}/no_constructors.ld)
    target_link_libraries(${target} PRIVATE quellor_compiler_helpers quellor_system_libraries)
endfunction()

# A static library that goes into a shipped file: built small like it, and followed on the
# link line by the system libraries and libgcc.
function(build_for_shipping library)
    target_compile_options(${library} PRIVATE ${QUELLOR_SMALL_OPTIONS})
    target_link_libraries(${library} PUBLIC quellor_system_libraries)
endfunction()
