# Cross-compiling for 64-bit Windows. This build is only for testing on
# hosts that cannot run 32-bit programs (and so not 32-bit Wine); what
# ships is the i686 build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
