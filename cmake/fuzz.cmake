# libFuzzer targets for the parsers that take outside input, under
# AddressSanitizer and UBSan. Each runs as a test for a bounded time,
# starting from the seed corpus kept in the repository.
set(MORVASK_FUZZ_SECONDS 30 CACHE STRING "How long each fuzzer runs as a test")
set(fuzz_flags -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
target_compile_options(morvask_logic PUBLIC ${fuzz_flags} -fsanitize=fuzzer-no-link)
target_link_options(morvask_logic PUBLIC ${fuzz_flags})

foreach(fuzzer command_line int_text)
  add_executable(${fuzzer}_fuzzer tests/fuzz/${fuzzer}_fuzzer.cc
                 tests/unit/fake_platform.cc)
  target_include_directories(${fuzzer}_fuzzer PRIVATE tests/unit)
  target_link_libraries(${fuzzer}_fuzzer PRIVATE morvask_logic morvask_warnings)
  target_link_options(${fuzzer}_fuzzer PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/corpus/${fuzzer})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME fuzz_${fuzzer}
    COMMAND ${fuzzer}_fuzzer -max_total_time=${MORVASK_FUZZ_SECONDS}
            -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
            ${work} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${fuzzer})
  set_tests_properties(fuzz_${fuzzer} PROPERTIES
    TIMEOUT 300 ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endforeach()
