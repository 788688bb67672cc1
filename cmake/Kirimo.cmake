# Each source folder is one library target made of the files it holds.
set(KIRIMO_WARNINGS -Wall -Wextra)

# kirimo_library(NAME [QT] DEPS lib...)
function(kirimo_library name)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${KIRIMO_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
endfunction()

# kirimo_test(NAME FOLDER dir TIMEOUT seconds [QT] LIBS lib...): one GoogleTest executable of a
# tests/ folder. TIMEOUT fits the executable (a few times its run on a busy two-core machine), so
# a hang fails within a minute or two, and ctest names the test that timed out.
function(kirimo_test name)
  cmake_parse_arguments(ARG "QT" "FOLDER;TIMEOUT" "LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    message(FATAL_ERROR "kirimo_test(${name}): give it a TIMEOUT that fits it")
  endif()
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_FOLDER})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE ${KIRIMO_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} kirimo_qttestmain GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KIRIMO_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()
