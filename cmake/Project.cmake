# Shared settings for every target of the project.

set(TDX_WARNINGS -Wall -Wextra)
if(TDX_WERROR)
  list(APPEND TDX_WARNINGS -Werror)
endif()

if(TDX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz targets need clang's libFuzzer and are built with the sanitizers. Then every library is compiled with
# libFuzzer's coverage hooks too, so that a fuzzer sees all the code it reaches, not only its own file.
set(TDX_FUZZ OFF)
if(TDX_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(TDX_FUZZ ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Source paths in assertions are printed relative to the repository root.
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=")

# tdx_add_library(NAME SOURCES ... [DEPS ...] [PUBLIC_INCLUDE dir])
# A static library for one module folder; the repository root is on the include path so that headers are
# included by their path from the root ("Libraries/base/fmt.h").
function(tdx_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# tdx_add_header_library(NAME) for folders of headers only.
function(tdx_add_header_library name)
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
endfunction()

# tdx_add_test(NAME [QT] SOURCES ... [DEPS ...])
# One GoogleTest program; its cases are registered with ctest one by one. QT for programs on the desktop toolkit:
# its position-independent code cannot use the test headers compiled once for the others.
function(tdx_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} tdx_test_main GTest::gmock)
  if(NOT ARG_QT)
    target_precompile_headers(${name} REUSE_FROM tdx_test_pch)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# tdx_add_fuzz(NAME CORPUS dir SOURCES ... [DEPS ...])
# A libFuzzer target (only where TDX_FUZZ is on) and a test that runs it for a few seconds on its corpus.
# The corpus is also replayed by the module's ordinary test program in every build.
function(tdx_add_fuzz name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;DEPS" ${ARGN})
  if(NOT TDX_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name}_run COMMAND ${name} ${work} ${ARG_CORPUS} -max_total_time=5)
endfunction()

# tdx_add_bench(NAME SOURCES ... [DEPS ...])
function(tdx_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
