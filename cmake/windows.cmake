# Windows build: morvask.exe, the stand-in programs and the system tests
# that run them under Wine.

# Small, self-contained and reproducible: static runtime, no timestamp.
set(release_flags -Os -ffunction-sections -fdata-sections)
set(release_link -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
target_compile_options(morvask_logic PRIVATE ${release_flags})

add_executable(morvask WIN32
  src/app/main_win32.cc
  src/platform/platform_win32.cc
)
target_link_libraries(morvask PRIVATE morvask_logic)
target_compile_options(morvask PRIVATE ${release_flags} -Wall -Wextra -Werror)
target_link_options(morvask PRIVATE ${release_link})

# Stand-ins and helpers for the system tests; never shipped.
foreach(standin launch window cli regset)
  add_executable(standin_${standin} tests/standins/${standin}.cc)
  target_link_options(standin_${standin} PRIVATE -static -s)
endforeach()
set_target_properties(standin_launch PROPERTIES OUTPUT_NAME launch)
set_target_properties(standin_cli PROPERTIES OUTPUT_NAME CLI)
set_target_properties(standin_regset PROPERTIES OUTPUT_NAME regset)

include(cmake/system_tests.cmake)
