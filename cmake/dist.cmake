# The zip for Windows users, made by CPack (`make dist` runs it on the 32-bit build): quellor.exe
# with the system vesk.dll and readings.exe beside it, the simulator as sim\vesk.dll, and README.txt.
install(PROGRAMS $<TARGET_FILE:quellor> $<TARGET_FILE:vesk_system> $<TARGET_FILE:sensor_readings> DESTINATION .)
install(PROGRAMS $<TARGET_FILE:vesk_simulator> DESTINATION sim)
# Kept with CR LF line ends in the source tree, for Notepad before Windows 10.
install(FILES ${PROJECT_SOURCE_DIR}/res/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QUELLOR_DIST_PLATFORM win64)
else()
    set(QUELLOR_DIST_PLATFORM win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quellor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quellor-${PROJECT_VERSION}-${QUELLOR_DIST_PLATFORM})
# The files at the top of the zip: Windows' "Extract all" already makes a folder of its own.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
