# Native build: the logic and its unit tests against the recording fake.
option(MORVASK_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
if(MORVASK_SANITIZE)
  set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  target_compile_options(morvask_logic PUBLIC ${sanitize})
  target_link_options(morvask_logic PUBLIC ${sanitize})
endif()

option(MORVASK_FUZZ "Build the libFuzzer targets (clang) instead of unit tests" OFF)
enable_testing()
if(MORVASK_FUZZ)
  include(cmake/fuzz.cmake)
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(unit_tests
  tests/unit/fake_platform.cc
  tests/unit/int_text_test.cc
  tests/unit/key_combination_test.cc
  tests/unit/log_test.cc
  tests/unit/settings_store_test.cc
  tests/unit/command_line_test.cc
  tests/unit/commands_test.cc
  tests/unit/notice_test.cc
  tests/unit/osd_test.cc
  tests/unit/power_plan_test.cc
  tests/unit/apply_test.cc
  tests/unit/check_test.cc
  tests/unit/catalyst_test.cc
  tests/unit/cycle_test.cc
  tests/unit/settings_keys_test.cc
  tests/unit/settings_lock_test.cc
  tests/unit/watcher_test.cc
)
target_include_directories(unit_tests PRIVATE tests/unit)
target_compile_definitions(unit_tests PRIVATE
  MORVASK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(unit_tests PRIVATE morvask_watch_logic morvask_warnings
                      GTest::gtest_main)
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST)
