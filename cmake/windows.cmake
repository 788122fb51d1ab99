# Windows build: morvask.exe, morvask-watch.exe, the stand-in programs and
# the system tests that run them under Wine. The i686 build is the one that
# ships; the x86_64 build of the same sources only runs the system tests on
# hosts that cannot run 32-bit Wine.
find_program(PYTHON3 python3 REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(MORVASK_WINDOWS_BUILD win32)
else()
  set(MORVASK_WINDOWS_BUILD win64)
endif()

# Small, self-contained and reproducible: static runtime, no timestamp.
set(release_flags -Os -ffunction-sections -fdata-sections -fno-rtti)
set(release_link -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
target_compile_options(morvask_logic PRIVATE ${release_flags})
target_compile_options(morvask_watch_logic PRIVATE ${release_flags})

# A shipped GUI executable `name`.exe from its entry point `main` and the
# Win32 platform layer. Its version resource comes from the one version
# number in project(). No manifest is embedded: one with a requested
# execution level would turn off file virtualization, and so refuse
# settings writes under Program Files that work for users today.
enable_language(RC)
# The platform seam on Win32, in every program that runs on it.
set(platform_win32 src/platform/platform_win32.cc
    src/platform/file_rights_win32.cc src/platform/notice_win32.cc
    src/platform/power_win32.cc
    src/platform/system_library_win32.cc)

function(morvask_executable name description main)
  set(exe_name ${name})
  set(exe_description ${description})
  configure_file(src/app/version.rc.in ${name}.rc @ONLY)
  add_executable(${name} WIN32 ${main}
    ${platform_win32}
    src/platform/terminate_win32.cc
    ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  target_link_libraries(${name} PRIVATE ${ARGN} morvask_warnings)
  target_compile_options(${name} PRIVATE ${release_flags})
  target_link_options(${name} PRIVATE ${release_link})
endfunction()

morvask_executable(morvask "morvask performance profile switcher"
  src/app/main_win32.cc morvask_logic)
morvask_executable(morvask-watch
  "morvask-watch: re-applies the morvask profile on power events"
  src/watch/main_win32.cc morvask_watch_logic)
# Loads wtsapi32.dll, which is not a KnownDLL, by its full path.

# Stand-ins and helpers for the system tests; never shipped.
foreach(standin launch window cli regset floor post notice_poll keys)
  add_executable(standin_${standin} tests/standins/${standin}.cc)
  target_include_directories(standin_${standin} PRIVATE src)
  target_link_libraries(standin_${standin} PRIVATE morvask_warnings)
  target_link_options(standin_${standin} PRIVATE -static -s)
endforeach()
set_target_properties(standin_launch PROPERTIES OUTPUT_NAME launch)
set_target_properties(standin_cli PROPERTIES OUTPUT_NAME CLI)
set_target_properties(standin_regset PROPERTIES OUTPUT_NAME regset)
set_target_properties(standin_post PROPERTIES OUTPUT_NAME post)
set_target_properties(standin_notice_poll PROPERTIES OUTPUT_NAME notice_poll)
set_target_properties(standin_keys PROPERTIES OUTPUT_NAME keys)
set_target_properties(standin_floor PROPERTIES OUTPUT_NAME floor WIN32_EXECUTABLE ON)
# The floor takes the settings lock as morvask names it.
target_sources(standin_floor PRIVATE ${platform_win32})
target_link_libraries(standin_floor PRIVATE morvask_logic)
# A DLL planted beside morvask-watch.exe as WTSAPI32.dll. --kill-at exports
# the stdcall functions under their plain names, as the system's DLL does.
add_library(standin_planted SHARED tests/standins/planted_dll.cc)
target_link_libraries(standin_planted PRIVATE morvask_warnings)
target_link_options(standin_planted PRIVATE -static -s -Wl,--kill-at)
set_target_properties(standin_planted PROPERTIES OUTPUT_NAME planted PREFIX "")
# The stand-in power library, once for each Windows it plays, copied into
# the test prefix's system folder as powrprof.dll: every function (11), no
# power mode functions (10), only the XP functions (xp).
set(power_win11_defines POWER_VISTA POWER_MODES)
set(power_win10_defines POWER_VISTA)
set(power_xp_defines)
foreach(windows win11 win10 xp)
  add_library(standin_power_${windows} SHARED tests/standins/power_library.cc)
  target_compile_definitions(standin_power_${windows} PRIVATE
    ${power_${windows}_defines})
  target_link_libraries(standin_power_${windows} PRIVATE morvask_warnings)
  target_link_options(standin_power_${windows} PRIVATE -static -s
    -Wl,--kill-at)
  set_target_properties(standin_power_${windows} PROPERTIES
    OUTPUT_NAME power_${windows} PREFIX "")
endforeach()
# The probe a profile's Run starts (a console program), and a GUI program
# that drives the power library and starts the probe, to check both.
add_executable(standin_run_probe tests/standins/run_probe.cc)
add_executable(standin_power_driver WIN32 tests/standins/power_driver.cc)
foreach(standin run_probe power_driver)
  target_link_libraries(standin_${standin} PRIVATE morvask_warnings)
  target_link_options(standin_${standin} PRIVATE -static -s)
  set_target_properties(standin_${standin} PROPERTIES OUTPUT_NAME ${standin})
endforeach()

include(cmake/system_tests.cmake)

if(MORVASK_WINDOWS_BUILD STREQUAL "win32")
  # The release zip: bash scripts/package.sh, or this target.
  add_custom_target(release_zip
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/scripts/make_zip.py
            ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}
    DEPENDS morvask morvask-watch
    COMMENT "Packing morvask-${PROJECT_VERSION}-win32.zip")
  include(cmake/release_checks.cmake)
endif()
