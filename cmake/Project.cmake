# Helpers shared by every folder of the project.

set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# portable_library(NAME SOURCES... [DEPENDS libs...] [LIBS external libs...])
# Code without Win32, built into every tree. The native tree also builds NAME-san, the same
# sources with sanitizers, for the native tests; NAME itself stays plain for the builder.
# DEPENDS are portable libraries (their variants are matched), LIBS outside ones such as zlib.
function(portable_library name)
  cmake_parse_arguments(PL "" "" "SOURCES;DEPENDS;LIBS" ${ARGN})
  add_library(${name} STATIC ${PL_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${PL_DEPENDS} ${PL_LIBS})
  if(TREE STREQUAL native)
    add_library(${name}-san STATIC ${PL_SOURCES})
    target_include_directories(${name}-san PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_options(${name}-san PRIVATE ${SANITIZE_FLAGS})
    list(TRANSFORM PL_DEPENDS APPEND -san OUTPUT_VARIABLE san_deps)
    target_link_libraries(${name}-san PUBLIC ${san_deps} ${PL_LIBS})
    # And NAME-fuzz, instrumented for the fuzz targets; built only when a fuzz target needs it.
    add_library(${name}-fuzz STATIC EXCLUDE_FROM_ALL ${PL_SOURCES})
    target_include_directories(${name}-fuzz PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_options(${name}-fuzz PRIVATE ${FUZZ_FLAGS})
    list(TRANSFORM PL_DEPENDS APPEND -fuzz OUTPUT_VARIABLE fuzz_deps)
    target_link_libraries(${name}-fuzz PUBLIC ${fuzz_deps} ${PL_LIBS})
  endif()
endfunction()

# portable_include_directories(NAME dirs...)
# Public include directories for a portable library and its sanitized and fuzz variants.
function(portable_include_directories name)
  foreach(variant "" -san -fuzz)
    if(TARGET ${name}${variant})
      target_include_directories(${name}${variant} PUBLIC ${ARGN})
    endif()
  endforeach()
endfunction()

# fuzz_target(NAME SOURCES... DEPENDS libs... [SECONDS n])
# A libFuzzer program over the -fuzz variants of the libraries, native tree only. CTest runs it
# for SECONDS (default 10) from the seeds in fuzz/seeds/NAME; `make fuzz` runs it long. Inputs are
# small and allocations capped, so a reader that allocates what an untrusted length says fails.
function(fuzz_target name)
  cmake_parse_arguments(FT "" "SECONDS" "SOURCES;DEPENDS" ${ARGN})
  if(NOT TREE STREQUAL native)
    return()
  endif()
  if(NOT FT_SECONDS)
    set(FT_SECONDS 10)
  endif()
  add_executable(${name} ${FT_SOURCES})
  list(TRANSFORM FT_DEPENDS APPEND -fuzz OUTPUT_VARIABLE deps)
  target_compile_options(${name} PRIVATE ${FUZZ_FLAGS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${deps})
  set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  set(artifacts ${CMAKE_BINARY_DIR}/fuzz-artifacts/)
  file(MAKE_DIRECTORY ${corpus} ${artifacts})
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${FT_SECONDS} -max_len=65536 -rss_limit_mb=1024 -malloc_limit_mb=64
            -artifact_prefix=${artifacts} ${corpus} ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 LABELS fuzz)
endfunction()

# unit_test(NAME SOURCES... DEPENDS libs... [TIMEOUT seconds] [LOCK resource])
# A GoogleTest program. Natively it is sanitized and linked against the -san libraries; in the
# Windows trees CTest runs it under Wine and lists its cases at test time, so building never
# needs Wine or a display. Cases of programs that share a LOCK never run at the same time (for
# what is one per desktop, such as a window class that other processes look for).
function(unit_test name)
  cmake_parse_arguments(UT "" "TIMEOUT;LOCK" "SOURCES;DEPENDS" ${ARGN})
  if(NOT UT_TIMEOUT)
    set(UT_TIMEOUT 60)
  endif()
  set(lock_property)
  if(UT_LOCK)
    set(lock_property RESOURCE_LOCK ${UT_LOCK})
  endif()
  add_executable(${name} ${UT_SOURCES})
  if(TREE STREQUAL native)
    list(TRANSFORM UT_DEPENDS APPEND -san OUTPUT_VARIABLE deps)
    target_compile_options(${name} PRIVATE ${SANITIZE_FLAGS})
    target_link_options(${name} PRIVATE ${SANITIZE_FLAGS})
    target_link_libraries(${name} PRIVATE ${deps} GTest::gtest_main)
    gtest_discover_tests(${name} NO_PRETTY_VALUES PROPERTIES TIMEOUT ${UT_TIMEOUT} LABELS unit ${lock_property})
  else()
    target_link_libraries(${name} PRIVATE ${UT_DEPENDS} GTest::gtest_main)
    # The emulator stops a program that outlives the test's time, with all it started.
    math(EXPR run_limit "${UT_TIMEOUT} - 5")
    gtest_discover_tests(${name} NO_PRETTY_VALUES DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT ${UT_TIMEOUT} LABELS unit ENVIRONMENT WINE_RUN_TIMEOUT=${run_limit} ${lock_property})
  endif()
endfunction()
