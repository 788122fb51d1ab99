# System tests: the real morvask.exe under Wine, in a private prefix that
# one fixture prepares before the tests and stops after them. The tests
# share the prefix's windows and registry, so they run one at a time.
enable_testing()
find_program(WINE wine)

set(system_dir ${CMAKE_SOURCE_DIR}/tests/system)
set(system_env
  MORVASK_BUILD_DIR=${CMAKE_BINARY_DIR}
  WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
)

add_test(NAME wine_prefix_prepare
  COMMAND ${PYTHON3} ${system_dir}/wine_prefix.py prepare)
add_test(NAME wine_prefix_stop
  COMMAND ${PYTHON3} ${system_dir}/wine_prefix.py stop)
set_tests_properties(wine_prefix_prepare PROPERTIES
  FIXTURES_SETUP wine ENVIRONMENT "${system_env}" TIMEOUT 300)
set_tests_properties(wine_prefix_stop PROPERTIES
  FIXTURES_CLEANUP wine ENVIRONMENT "${system_env}")

file(GLOB system_suites RELATIVE ${system_dir} ${system_dir}/test_*.py)
foreach(suite ${system_suites})
  get_filename_component(name ${suite} NAME_WE)
  add_test(NAME system_${name}
    COMMAND ${PYTHON3} ${system_dir}/${suite} -v)
  set_tests_properties(system_${name} PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix
    ENVIRONMENT "${system_env}" TIMEOUT 600)
endforeach()

# The release: executable size, imports, version, no manifest, and two
# builds of the same sources giving the same bytes.
add_test(NAME release_checks
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/release/check_release.py
          $<TARGET_FILE:morvask> ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}
          ${CMAKE_BINARY_DIR})
# It compiles a second tree: kept apart from the timing-sensitive Wine tests.
set_tests_properties(release_checks PROPERTIES TIMEOUT 600 RESOURCE_LOCK wineprefix)
