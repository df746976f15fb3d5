# The same sources for 64-bit Windows (x86-64), run by 64-bit Wine: the build
# the tests drive on machines that cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MINGW_TARGET x86_64-w64-mingw32)
set(MINGW_WINE_EXEC wine64-exec)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
