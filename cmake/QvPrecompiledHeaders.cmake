# Windows trees: the Windows API headers (through WinApi.h, the one way modules include them), the
# standard library headers most sources use and, for the tests, GoogleTest are parsed once per tree
# instead of once per source file; they cost more than most sources themselves. Two holders, one
# for the program's and toolkit's libraries and one for the test programs, because a precompiled
# header serves only sources compiled with the flags it was made with (the tests add GoogleTest's).
# The headers stay included by the sources themselves, so the native tree and any source left out
# here compile the same.

set(QV_PCH_COMMON
  ${CMAKE_SOURCE_DIR}/toolkit/foundation/WinApi.h
  <algorithm> <array> <cstdint> <cstring> <functional> <map> <memory> <optional> <span> <string>
  <string_view> <vector>)

function(qv_precompiled_header_holders)
  file(WRITE ${CMAKE_BINARY_DIR}/pch-holder.cpp "// Nothing of its own: it carries the precompiled headers.\n")
  add_library(qv_pch_library STATIC ${CMAKE_BINARY_DIR}/pch-holder.cpp)
  target_precompile_headers(qv_pch_library PRIVATE ${QV_PCH_COMMON})
  if(QV_TESTS)
    qv_enable_gtest()
    add_library(qv_pch_test STATIC ${CMAKE_BINARY_DIR}/pch-holder.cpp)
    target_link_libraries(qv_pch_test PRIVATE gtest)
    target_precompile_headers(qv_pch_test PRIVATE ${QV_PCH_COMMON} <gtest/gtest.h>)
  endif()
endfunction()

# Every library and program below the folder, with the holder that matches its flags.
function(qv_use_precompiled_headers folder)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|OBJECT_LIBRARY)$" OR target MATCHES "^(gtest|gtest_main|qv_pch_.*)$")
      continue()
    endif()
    get_target_property(links ${target} LINK_LIBRARIES)
    if(links AND "gtest" IN_LIST links)
      if(TARGET qv_pch_test)
        target_precompile_headers(${target} REUSE_FROM qv_pch_test)
      endif()
    else()
      target_precompile_headers(${target} REUSE_FROM qv_pch_library)
    endif()
  endforeach()
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    qv_use_precompiled_headers(${subfolder})
  endforeach()
endfunction()
