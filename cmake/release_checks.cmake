# Checks of what ships (morvask.exe, morvask-watch.exe and the zip), which
# read the files and never run them, so they pass on every host: executable
# format, size, imports and the Windows floor, version, no manifest, and
# two builds of the same sources giving the same bytes. Beside them, the
# check of how the host's Wine is chosen.
add_test(NAME release_checks
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/release/check_release.py
          ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
# It compiles a second tree: kept apart from the timing-sensitive Wine tests.
set_tests_properties(release_checks PROPERTIES TIMEOUT 600 RESOURCE_LOCK wineprefix)

add_test(NAME wine_host_choice
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tests/system/wine_host_test.py -v)
