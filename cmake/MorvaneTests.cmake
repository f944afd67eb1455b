# morvane_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [QT])
# Builds a GoogleTest executable and registers its tests with CTest.
# Label "threads": also run under ThreadSanitizer (target threaded-tests builds them all).
# Label "engine": free of Qt, also run under AddressSanitizer + UndefinedBehaviorSanitizer
#                 (target engine-tests builds them all).
include_guard(GLOBAL)
if(NOT TARGET threaded-tests)
  add_custom_target(threaded-tests)
  add_custom_target(engine-tests)
endif()

function(morvane_add_test)
  if(NOT MORVANE_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
  target_compile_definitions(${T_NAME} PRIVATE
    MORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MORVANE_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  include(GoogleTest)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST)
  # Properties go through a CTest include file read after the discovered list (the
  # discovery's own PROPERTIES flattens lists: no labels or several would garble them).
  set(properties_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake)
  file(WRITE ${properties_file}
    "if(${T_NAME}_TESTS)\n"
    "  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES LABELS \"${T_LABELS}\"\n"
    "                      ENVIRONMENT \"QT_QPA_PLATFORM=offscreen\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties_file})
  if("threads" IN_LIST T_LABELS)
    add_dependencies(threaded-tests ${T_NAME})
  endif()
  if("engine" IN_LIST T_LABELS)
    add_dependencies(engine-tests ${T_NAME})
  endif()
endfunction()

# morvane_add_test_support(NAME name SOURCES ... LIBS ... [DEFINITIONS ...])
# Fixtures and helpers shared by several test programs, compiled once into a static library
# that the programs list among their LIBS.
function(morvane_add_test_support)
  if(NOT MORVANE_TESTS)
    return()
  endif()
  cmake_parse_arguments(S "" "NAME" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
  find_package(GTest REQUIRED)
  add_library(${S_NAME} STATIC ${S_SOURCES})
  target_link_libraries(${S_NAME} PUBLIC ${S_LIBS} GTest::gtest)
  target_include_directories(${S_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${S_NAME} PRIVATE
    MORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MORVANE_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    ${S_DEFINITIONS})
endfunction()

# morvane_add_fuzzer(NAME name SOURCES ... LIBS ... CORPUS dir)
# The sources define LLVMFuzzerTestOneInput. With FUZZ=ON (clang) this builds a libFuzzer
# executable in build/fuzz/ (target "fuzzers"); otherwise it builds the same code with a
# driver that feeds every file of the seed corpus once, registered as a test.
if(NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()

function(morvane_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(FUZZ)
    add_executable(${F_NAME} ${F_SOURCES})
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${F_NAME}.corpus "${F_CORPUS}\n")
    add_dependencies(fuzzers ${F_NAME})
  elseif(MORVANE_TESTS)
    add_executable(${F_NAME}_seeds ${F_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/seed_driver.cpp)
    target_link_libraries(${F_NAME}_seeds PRIVATE ${F_LIBS})
    set_target_properties(${F_NAME}_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
    add_test(NAME ${F_NAME}_seeds COMMAND ${F_NAME}_seeds ${F_CORPUS})
    set_tests_properties(${F_NAME}_seeds PROPERTIES LABELS "engine;fuzz")
    add_dependencies(engine-tests ${F_NAME}_seeds)
  endif()
endfunction()
