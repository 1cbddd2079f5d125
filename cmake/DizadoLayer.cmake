# One static library per layer folder, from every source file in it, so that a
# new class is one new header and source and nothing else.
function(dizado_layer_library target)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_LINKS})
  endif()
endfunction()

# A test binary from every source in a tests/ folder; each test case is its own
# CTest test, run headless. A folder without sources is a mistake, not an
# empty suite.
function(dizado_test_binary target folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "${target}: no test sources in ${CMAKE_CURRENT_SOURCE_DIR}/${folder}")
  endif()
  add_executable(${target} ${sources})
  # dizado_test_support holds the main, with the rule on skips; the
  # suppressions keep the toolkit's font caches out of the leak report.
  target_link_libraries(${target} PRIVATE ${ARG_LINKS} dizado_test_support dizado_leak_suppressions GTest::gtest GTest::gmock)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${DIZADO_PROGRAM_DIR})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${DIZADO_PROGRAM_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               ENVIRONMENT_MODIFICATION "DIZADO_TEST_DATA=set:${CMAKE_BINARY_DIR}/testdata"
    DISCOVERY_TIMEOUT 120)
endfunction()
