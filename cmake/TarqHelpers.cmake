# Small helpers shared by the folders' CMakeLists.

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

# tarq_library(NAME SOURCES ... [LIBS ...]): one static library per source folder.
function(tarq_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# In the sanitizer builds the tests' own sources are compiled without
# optimisation: they are built once and thrown away, most of their cost is
# the code the test macros expand to, and the code under test keeps its -O1.
function(tarq_unoptimized_when_checked name)
  if(TARQ_SANITIZE OR TARQ_TSAN)
    target_compile_options(${name} PRIVATE -O0)
  endif()
endfunction()

# tarq_test(NAME SOURCES ... [LIBS ...]): one GoogleTest executable, run by ctest
# from the test's source folder so fixtures are found by relative path.
function(tarq_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE TARQ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  tarq_unoptimized_when_checked(${name})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# tarq_fuzzer(NAME SOURCES ... [LIBS ...] [CORPUS dir]): a libFuzzer target.
# With TARQ_FUZZ it links libFuzzer; otherwise a small driver replays the
# corpus files through LLVMFuzzerTestOneInput, so every test run exercises it.
function(tarq_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(TARQ_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz_replay_main.cpp)
    if(ARG_CORPUS)
      add_test(NAME ${name} COMMAND ${name} ${ARG_CORPUS})
    endif()
  endif()
endfunction()

# tarq_benchmark(NAME SOURCES ... [LIBS ...]): built by CI, never run as a test.
function(tarq_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  tarq_unoptimized_when_checked(${name})
endfunction()
