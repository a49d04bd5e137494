# Test helpers. GoogleTest is built from Debian's source package in both trees.
set(QV_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")

macro(qv_enable_gtest)
  if(NOT TARGET gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${QV_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own warnings are not ours to fix.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  endif()
endmacro()

# qv_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [GUI])
# One test executable is one CTest entry: under Wine each process start costs about a second.
# GUI tests link the Windows GUI libraries. Under the test command every Windows test program
# has a display, Wine prefix and server of its own while it runs (scripts/wine-run.sh claims a
# free shard), so GUI tests run side by side without covering each other's windows.
function(qv_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  qv_enable_gtest()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest_main gtest)
  if(QV_WIN32)
    # The test sources themselves (not the program's code they link) are compiled for debugging
    # rather than speed: GoogleTest's macros make -O2 cost about half again as much CPU, and the
    # Windows trees' test programs are most of their build.
    target_compile_options(${name} PRIVATE -Og)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE qv_test_gui)
  endif()
endfunction()
