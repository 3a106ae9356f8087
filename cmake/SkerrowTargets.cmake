# Small helpers so that every folder declares its targets the same way.

# skerrow_library(<layer> SOURCES ... [DEPS ...])
# A static library skerrow_<layer>, whose headers are included as "<layer>/Name.h".
# DEPS names every library whose headers the layer includes, not only those
# that come along through another.
function(skerrow_library layer)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(skerrow_${layer} STATIC ${ARG_SOURCES})
  target_include_directories(skerrow_${layer} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(skerrow_${layer} PUBLIC ${ARG_DEPS})
endfunction()

# skerrow_test(<name> SOURCES ... [DEPS ...] [QT|X11] [LABELS ...] [TIMEOUT n])
# A GoogleTest executable whose cases are registered with CTest one by one
# (in the ThreadSanitizer tree, only those of SKERROW_THREAD_TESTS are built
# and registered).
# QT gives it a QApplication and runs it on Qt's offscreen platform; X11 runs
# it on a private Xvfb display instead.
function(skerrow_test name)
  cmake_parse_arguments(ARG "QT;X11" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  if(ARG_X11)
    # Desktop tests start their own Xvfb before the QApplication.
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/XvfbTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets GTest::gtest GTest::gmock)
  elseif(ARG_QT)
    # Window tests need a QApplication before the first test runs.
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets GTest::gtest GTest::gmock)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  if(SKERROW_SANITIZE STREQUAL "thread" AND NOT name IN_LIST SKERROW_THREAD_TESTS)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    return()
  endif()
  # The test mains choose the Qt platform themselves; only the source tree
  # is passed in (one variable: a CMake list would be split on its way).
  set(env SKERROW_SOURCE_DIR=${PROJECT_SOURCE_DIR})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(ARG_X11)
    # One Xvfb serves the whole executable, so its cases run as one test.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT} LABELS "x11;${ARG_LABELS}")
    return()
  endif()
  set(properties ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()

# skerrow_fuzz(<name> SOURCES ... [DEPS ...] [SECONDS n] [SEEDS folder ...])
# A libFuzzer target; CTest runs it for a few seconds as a smoke test,
# starting from the inputs in the SEEDS folders (read, never written).
function(skerrow_fuzz name)
  cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;DEPS;SEEDS" ${ARGN})
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 5)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz.${name}
    COMMAND ${name} -max_total_time=${ARG_SECONDS} -rss_limit_mb=2048 ${corpus} ${ARG_SEEDS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()

# skerrow_subdirectories(): adds every child folder that has a CMakeLists.txt
# and whose name is a layer of this build.
function(skerrow_layer_subdirectories)
  foreach(layer IN LISTS SKERROW_LAYERS)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/CMakeLists.txt)
      add_subdirectory(${layer})
    endif()
  endforeach()
endfunction()
