# The program as shipped: 32-bit Windows.
set(QV_MINGW_ARCH i686)
set(QV_WINE_TREE win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
