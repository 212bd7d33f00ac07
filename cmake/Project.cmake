# Shared settings for every target of the project.

set(TDX_WARNINGS -Wall -Wextra)
if(TDX_WERROR)
  list(APPEND TDX_WARNINGS -Werror)
endif()

# The standard library's own checks come with the sanitizers: they stop a read of an empty std::optional, or of
# an index past a vector's end but inside its storage, which the sanitizers let pass.
if(TDX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
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

# tdx_add_shared_pch(NAME HEADERS ... [DEPS ...])
# Headers compiled once per build for every target that reuses NAME's result, instead of once per source: the
# standard library's headers were half of the compiling of a typical source here. NAME defines no macros,
# as GCC refuses a precompiled header made with a macro its user lacks. Code on the desktop toolkit (QT below)
# cannot use it: the toolkit's position-independent code.
function(tdx_add_shared_pch name)
  cmake_parse_arguments(ARG "" "" "HEADERS;DEPS" ${ARGN})
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/${name}.cpp CONTENT "")
  add_library(${name} OBJECT ${CMAKE_BINARY_DIR}/${name}.cpp)
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

set(TDX_PCH_HEADERS <algorithm> <cstdint> <cstdio> <cstdlib> <cstring> <functional> <memory> <optional> <string>
                    <string_view> <vector>)
tdx_add_shared_pch(tdx_pch HEADERS ${TDX_PCH_HEADERS})

# tdx_add_library(NAME [QT] SOURCES ... [DEPS ...])
# A static library for one module folder; the repository root is on the include path so that headers are
# included by their path from the root ("Libraries/base/fmt.h").
function(tdx_add_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${TDX_WARNINGS})
  if(NOT ARG_QT)
    target_precompile_headers(${name} REUSE_FROM tdx_pch)
  endif()
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
# One GoogleTest program; its cases are registered with ctest one by one. QT for programs on the desktop toolkit.
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
