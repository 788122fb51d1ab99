# System tests: the real morvask.exe under Wine, in a private prefix that
# one fixture prepares before the tests and stops after them. The tests
# share the prefix's windows and registry, so they run one at a time. They
# carry the label "wine": on a host that cannot run this build's Wine,
# `ctest -LE wine` runs the rest (tests/system/wine_host.py decides).
enable_testing()

set(system_dir ${CMAKE_SOURCE_DIR}/tests/system)
set(system_env
  MORVASK_BUILD_DIR=${CMAKE_BINARY_DIR}
  MORVASK_WINE_BUILD=${MORVASK_WINDOWS_BUILD}
  WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
)

add_test(NAME wine_prefix_prepare
  COMMAND ${PYTHON3} ${system_dir}/wine_prefix.py prepare)
add_test(NAME wine_prefix_stop
  COMMAND ${PYTHON3} ${system_dir}/wine_prefix.py stop)
set_tests_properties(wine_prefix_prepare PROPERTIES
  FIXTURES_SETUP wine ENVIRONMENT "${system_env}" TIMEOUT 300 LABELS wine)
set_tests_properties(wine_prefix_stop PROPERTIES
  FIXTURES_CLEANUP wine ENVIRONMENT "${system_env}" LABELS wine)

file(GLOB system_suites RELATIVE ${system_dir} ${system_dir}/test_*.py)
foreach(suite ${system_suites})
  get_filename_component(name ${suite} NAME_WE)
  add_test(NAME system_${name}
    COMMAND ${PYTHON3} ${system_dir}/${suite} -v)
  set_tests_properties(system_${name} PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix
    ENVIRONMENT "${system_env}" TIMEOUT 600 LABELS wine)
endforeach()
