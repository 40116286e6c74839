find_package(GTest REQUIRED)
include(GoogleTest)

# marquill_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest program; its cases are registered with CTest one by one.
function(marquill_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} marquill_test_support GTest::gtest GTest::gmock
                                        GTest::gtest_main marquill_warnings)
  # Tests run from their own folder, not the program folder, so they never touch shipped INI files.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# marquill_add_qt_test(<name> SOURCES <files...> LIBS <targets...>)
# One Qt Test program, registered with CTest as one test. It runs on the offscreen platform with a fixed
# style, so it needs no display and draws the same on every machine.
function(marquill_add_qt_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} marquill_test_support Qt6::Test Qt6::Widgets
                                        marquill_warnings)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_STYLE_OVERRIDE=Fusion;TZ=UTC")
endfunction()
