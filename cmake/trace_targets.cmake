# Each library is a static library made of every .cc below its folder; files
# ending in _test.cc are its unit tests and go into one test program instead.
function(trace_library name)
  file(GLOB_RECURSE _all CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cc")
  set(_srcs)
  set(_tests)
  foreach(_f IN LISTS _all)
    if(_f MATCHES "_test\\.cc$")
      list(APPEND _tests "${_f}")
    else()
      list(APPEND _srcs "${_f}")
    endif()
  endforeach()
  add_library(${name} STATIC ${_srcs})
  target_include_directories(${name} PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
  set_property(GLOBAL PROPERTY "${name}_TEST_SOURCES" "${_tests}")
endfunction()

# Builds <name>_tests from the library's *_test.cc files (if any) and registers
# every test with CTest.
function(trace_library_tests name)
  get_property(_tests GLOBAL PROPERTY "${name}_TEST_SOURCES")
  if(NOT _tests)
    return()
  endif()
  add_executable(${name}_tests ${_tests})
  target_link_libraries(${name}_tests PRIVATE ${name} trace_test_support GTest::gtest GTest::gtest_main ${ARGN})
  target_compile_definitions(${name}_tests PRIVATE
    TRACE_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TRACE_TEST_DATA_DIR=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
