# Fuzz targets. Each target's source is fuzz/NAMEFuzz.cpp, defining LLVMFuzzerTestOneInput.
#  - In the fuzz tree (-DQV_FUZZ=ON, clang, QV_TESTS=OFF) qv_add_fuzzer builds the libFuzzer
#    program NAME_fuzz, with the address and undefined-behaviour sanitizers.
#  - In the native test tree it builds NAMEFuzzReplay: the same source plus fuzz/FuzzReplay.cpp,
#    which feeds every file of fuzz/corpus/NAME/ and fuzz/crashes/NAME/ to the target under the
#    tree's sanitizers, so the seeds and every crash once found stay checked by the tests.
option(QV_FUZZ "Build the libFuzzer targets (clang only; turns the tests off)" OFF)

if(QV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QV_FUZZ needs clang++ (libFuzzer)")
  endif()
  # Every library is instrumented for coverage; only the fuzz programs link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# qv_add_fuzzer(NAME SOURCES a.cpp ... LIBS lib ...)
function(qv_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(QV_FUZZ)
    add_executable(${name}_fuzz ${ARG_SOURCES})
    target_link_libraries(${name}_fuzz PRIVATE ${ARG_LIBS})
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    if(TARGET fuzzers)
      add_dependencies(fuzzers ${name}_fuzz)
    endif()
  elseif(QV_TESTS AND NOT QV_WIN32)
    qv_add_test(${name}FuzzReplay SOURCES ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/FuzzReplay.cpp LIBS ${ARG_LIBS})
    target_compile_definitions(${name}FuzzReplay PRIVATE
      QV_FUZZ_CORPUS_DIR="${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}"
      QV_FUZZ_CRASH_DIR="${CMAKE_SOURCE_DIR}/fuzz/crashes/${name}")
  endif()
endfunction()
