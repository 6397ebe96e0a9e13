# The one test main (tests/support/TestMain.cpp), shared by every test executable.
add_library(sewella_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
target_include_directories(sewella_test_main PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(sewella_test_main PUBLIC GTest::gmock Qt6::Widgets)

# sewella_test_suite(<folder> SOURCES <files...> LIBS <targets...>)
# Builds tests/<folder> into one GoogleTest executable <folder>_tests and registers its tests with CTest.
function(sewella_test_suite folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(target ${folder}_tests)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} sewella_test_main)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
