# qv_library(NAME DIR <folder> [DEPS ...])
# A static library made of every .cpp in one source folder (not recursive),
# so that files can be added to a folder without touching the build files.
function(qv_library name)
  cmake_parse_arguments(A "" "DIR" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${A_DIR}/*.h)
  if(NOT srcs)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${A_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs} ${hdrs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# qv_test(NAME SOURCES ... LIBS ... [LABELS ...] [GUI] [ONE_PROCESS])
# One GoogleTest executable; each test case becomes a ctest test. GUI tests
# get a QApplication on the offscreen platform. ONE_PROCESS registers the
# whole executable as one ctest test named after it instead: its cases share
# a server that the process starts once (tests/servers).
function(qv_test name)
  cmake_parse_arguments(A "GUI;ONE_PROCESS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  if(A_GUI)
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:qv_guitestmain>)
    target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} qv_testsupport GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(labels ${A_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  set(environment "QV_SOURCE_DIR=${CMAKE_SOURCE_DIR};QV_BIN_DIR=${QV_BIN_DIR}")
  if(A_ONE_PROCESS)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" ENVIRONMENT "${environment}")
    return()
  endif()
  # Parameterised cases are named by their suites' name generators; the
  # printed parameter stays out of the ctest name.
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES LABELS "${labels}" ENVIRONMENT "${environment}"
    DISCOVERY_TIMEOUT 60)
endfunction()
