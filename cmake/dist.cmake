# The two downloads for Windows users, both from the 32-bit build (`make dist` collects them):
# a zip made by CPack, and a setup program made by makensis from res/setup.nsi. Both hold
# quellor.exe with the system vesk.dll beside it, the simulator as sim\vesk.dll, readings.exe
# and README.txt.
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

# The setup ships the 32-bit files only; the 64-bit build exists for testing.
if(QUELLOR_DIST_PLATFORM STREQUAL win32)
    find_program(MAKENSIS makensis)
    if(NOT MAKENSIS)
        message(WARNING "makensis not found (Debian's nsis package): no setup program")
        return()
    endif()
    set(QUELLOR_SETUP ${CMAKE_BINARY_DIR}/quellor-${PROJECT_VERSION}-setup.exe)
    set(setup_script ${PROJECT_SOURCE_DIR}/res/setup.nsi)
    add_custom_command(OUTPUT ${QUELLOR_SETUP}
        COMMAND ${MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DRES=${PROJECT_SOURCE_DIR}/res
            -DQUELLOR_EXE=$<TARGET_FILE:quellor> -DSYSTEM_DLL=$<TARGET_FILE:vesk_system>
            -DSIMULATOR_DLL=$<TARGET_FILE:vesk_simulator> -DREADINGS_EXE=$<TARGET_FILE:sensor_readings>
            -DOUTFILE=${QUELLOR_SETUP} ${setup_script}
        DEPENDS ${setup_script} ${PROJECT_SOURCE_DIR}/res/README.txt ${PROJECT_SOURCE_DIR}/res/icons/mood1.ico
            quellor vesk_system vesk_simulator sensor_readings
        COMMENT "Making the setup program ${QUELLOR_SETUP}"
        VERBATIM)
    add_custom_target(setup ALL DEPENDS ${QUELLOR_SETUP})
endif()
