# The same sources as 64-bit Windows: the Windows tests run from this tree on machines whose
# kernel cannot execute 32-bit x86 code (there, neither 32-bit Wine nor its WoW64 mode can start).
set(QV_MINGW_ARCH x86_64)
set(QV_WINE_TREE win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
