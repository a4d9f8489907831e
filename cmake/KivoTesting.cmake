# The test rig: doctest in both builds, CTest runs native tests directly and
# Windows tests under Wine (each run in a throw-away prefix).
enable_testing()

# doctest is header-only; it gets a folder of its own so cross builds never
# see the host's /usr/include.
set(KIVO_DOCTEST_DIR ${CMAKE_BINARY_DIR}/third_party/doctest)
if(NOT EXISTS ${KIVO_DOCTEST_DIR}/doctest/doctest.h)
  file(COPY /usr/include/doctest/doctest.h DESTINATION ${KIVO_DOCTEST_DIR}/doctest)
endif()
add_library(kivo_doctest INTERFACE)
target_include_directories(kivo_doctest SYSTEM INTERFACE ${KIVO_DOCTEST_DIR})

set(KIVO_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run.sh)
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KIVO_WINE_RUN} ${CMAKE_BINARY_DIR})
endif()

# kivo_add_test(NAME SOURCES... [LIBS ...] [DISPLAY] [NO_KILLS] [LABELS ...])
# One test executable with doctest's main; DISPLAY gives it an Xvfb display;
# NO_KILLS fails the run when any thread had to be killed.
function(kivo_add_test name)
  cmake_parse_arguments(T "DISPLAY;NO_KILLS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_NO_KILLS)
    set(main ${PROJECT_SOURCE_DIR}/tests/test_main_no_kills.cpp)
  else()
    set(main ${PROJECT_SOURCE_DIR}/tests/test_main.cpp)
  endif()
  add_executable(${name} ${main} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kivo_doctest ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  kivo_link_messages(${name})
  add_test(NAME ${name} COMMAND ${name})
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 300)
  if(T_DISPLAY AND WIN32)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT KIVO_WINE_DISPLAY=1)
  endif()
endfunction()

# kivo_add_fixture(NAME START cmd... STOP cmd...)
# A service that CTest starts (NAME_start) before the tests that require the
# fixture NAME and stops (NAME_stop) after them.
function(kivo_add_fixture name)
  cmake_parse_arguments(F "" "" "START;STOP" ${ARGN})
  add_test(NAME ${name}_start COMMAND ${F_START})
  add_test(NAME ${name}_stop COMMAND ${F_STOP})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name})
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name})
endfunction()

# kivo_test_path(VAR PATH): PATH as a test program sees it; under Wine the
# Linux file system is drive Z:.
function(kivo_test_path var path)
  if(WIN32)
    set(path Z:${path})
  endif()
  set(${var} ${path} PARENT_SCOPE)
endfunction()
