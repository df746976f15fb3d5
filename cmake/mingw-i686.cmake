# The product: 32-bit Windows (x86), run by 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TARGET i686-w64-mingw32)
set(MINGW_WINE_EXEC wine-exec)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
