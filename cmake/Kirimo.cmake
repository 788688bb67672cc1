# Each source folder is one library target made of the files it holds.
set(KIRIMO_WARNINGS -Wall -Wextra)

option(KIRIMO_PCH "Precompile the heavy library headers, once per kind of library" ON)
option(KIRIMO_UNITY_TESTS "Compile the test files of a folder a few at a time in one unit" ON)

# The headers most files of a kind include. Each kind holds only what its folders may include,
# so core and media never see Qt, and core never sees FFmpeg.
set(KIRIMO_PCH_STD <algorithm> <cstdint> <filesystem> <functional> <map> <memory> <optional>
    <stdexcept> <string> <string_view> <utility> <vector>)
set(KIRIMO_PCH_FFMPEG ${CMAKE_SOURCE_DIR}/cmake/pch/ffmpeg.h)
set(KIRIMO_PCH_QT <QApplication> <QImage> <QObject> <QPainter> <QPointer> <QString> <QStringList>
    <QTimer> <QVariant> <QWidget> <QtGui/QMouseEvent> <QtGui/QKeyEvent>)
set(KIRIMO_PCH_GTEST <gtest/gtest.h>)

# kirimo_use_pch(TARGET KIND): KIND is std, ffmpeg, qt, gtest or qtgtest. A kind's header is
# compiled once, by a small target of its own, and reused by every target of that kind; the
# reuse holds because all of them share the compile options that matter (-fPIC comes with Qt).
function(kirimo_use_pch target kind)
  if(NOT KIRIMO_PCH)
    return()
  endif()
  set(donor kirimo_pch_${kind})
  if(NOT TARGET ${donor})
    set(headers ${KIRIMO_PCH_STD})
    set(libraries "")
    if(kind STREQUAL "ffmpeg")
      list(APPEND headers ${KIRIMO_PCH_FFMPEG})
      set(libraries PkgConfig::FFMPEG)
    elseif(kind STREQUAL "qt")
      list(APPEND headers ${KIRIMO_PCH_QT})
      set(libraries Qt6::Widgets)
    elseif(kind STREQUAL "gtest")
      list(APPEND headers ${KIRIMO_PCH_GTEST})
      set(libraries GTest::gtest)
    elseif(kind STREQUAL "qtgtest")
      list(APPEND headers ${KIRIMO_PCH_QT} ${KIRIMO_PCH_GTEST})
      set(libraries Qt6::Widgets GTest::gtest)
    elseif(NOT kind STREQUAL "std")
      message(FATAL_ERROR "kirimo_use_pch(${target}): unknown kind ${kind}")
    endif()
    add_library(${donor} OBJECT ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
    target_link_libraries(${donor} PRIVATE ${libraries})
    target_precompile_headers(${donor} PRIVATE ${headers})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${donor})
endfunction()

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
    kirimo_use_pch(${name} qt)
  elseif("PkgConfig::FFMPEG" IN_LIST ARG_DEPS)
    kirimo_use_pch(${name} ffmpeg)
  else()
    kirimo_use_pch(${name} std)
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
  if(ARG_QT)
    kirimo_use_pch(${name} qtgtest)
  else()
    kirimo_use_pch(${name} gtest)
  endif()
  # GoogleTest's templates are instantiated once per unit, so a few files in one unit cost
  # little more than one. Names at file scope must then differ between the files of a folder.
  if(KIRIMO_UNITY_TESTS)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 4)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KIRIMO_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp"
    TIMEOUT ${ARG_TIMEOUT})
endfunction()
