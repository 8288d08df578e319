# Helpers that keep every layer's CMakeLists short.
include(GoogleTest)

# suite_layer(<target> [DIR <folder>...] [EXCLUDE <regex>...] [LINKS <targets>...])
# A static library of every .cpp below the folders (default: the current one).
# Headers are included by their path from the source root: #include "platform/cad/Document.h".
function(suite_layer target)
  cmake_parse_arguments(L "" "" "DIR;LINKS;EXCLUDE" ${ARGN})
  if(NOT L_DIR)
    set(L_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources)
  foreach(d IN LISTS L_DIR)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.h)
    list(APPEND sources ${found})
  endforeach()
  foreach(ex IN LISTS L_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ex}")
  endforeach()
  set(cpps ${sources})
  list(FILTER cpps INCLUDE REGEX "\\.cpp$")
  if(cpps)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC Qt6::Core ${L_LINKS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE Qt6::Core ${L_LINKS})
  endif()
endfunction()

# The runtime folder of its own every test process gets (tests/support/OwnRuntimeFolder.cpp).
function(suite_test_support)
  if(NOT TARGET suite_test_runtime)
    add_library(suite_test_runtime OBJECT ${CMAKE_SOURCE_DIR}/tests/support/OwnRuntimeFolder.cpp)
  endif()
endfunction()

# suite_gtest(<name> SOURCES <files>... LINKS <targets>...)
# One GoogleTest executable; every test case becomes a ctest test.
function(suite_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LINKS" ${ARGN})
  suite_test_support()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE suite_test_runtime GTest::gtest GTest::gmock GTest::gtest_main ${T_LINKS})
  target_compile_definitions(${name} PRIVATE
    SUITE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SUITE_BINARY_DIR="${CMAKE_BINARY_DIR}"
    SUITE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# suite_qttest(<name> SOURCES <files>... LINKS <targets>...)
# One QtTest executable, one ctest test.
function(suite_qttest name)
  cmake_parse_arguments(T "" "" "SOURCES;LINKS" ${ARGN})
  suite_test_support()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE suite_test_runtime Qt6::Test Qt6::Widgets ${T_LINKS})
  target_compile_definitions(${name} PRIVATE
    SUITE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SUITE_BINARY_DIR="${CMAKE_BINARY_DIR}"
    SUITE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# suite_program(<target> SOURCES <files>... LINKS <targets>...)
# A program of the suite, built into suite/Tesmar/bin.
function(suite_program target)
  cmake_parse_arguments(P "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LINKS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SUITE_BIN})
  add_dependencies(${target} suite_resources)
endfunction()

# suite_tool(<target> SOURCES <files>... LINKS <targets>...)
# A developer tool: built with the suite into its own folder under build/tools (build/tools/x/x),
# not part of the installed suite.
function(suite_tool target)
  cmake_parse_arguments(P "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LINKS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# suite_bench(<target> SOURCES <files>... LINKS <targets>...)
# A benchmark: built into build/bench, where `make bench` runs every program it finds.
function(suite_bench target)
  cmake_parse_arguments(P "" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LINKS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# suite_add_subfolders([RECURSE])
# Adds every sub-folder that has a CMakeLists.txt, so a new tool, benchmark or test folder needs no edit here.
function(suite_add_subfolders)
  cmake_parse_arguments(S "RECURSE" "" "" ${ARGN})
  if(S_RECURSE)
    file(GLOB_RECURSE lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  else()
    file(GLOB lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  endif()
  list(SORT lists)
  foreach(f IN LISTS lists)
    get_filename_component(d ${f} DIRECTORY)
    add_subdirectory(${d})
  endforeach()
endfunction()

# suite_fuzzer(<name> SOURCE <file> LINKS <targets>...)
# A libFuzzer target, built only with -DSUITE_FUZZ=ON and clang, into build/fuzz; not part of
# ctest. The layers it links are instrumented too, so coverage guides the fuzzer through them.
function(suite_fuzzer name)
  cmake_parse_arguments(F "" "SOURCE" "LINKS" ${ARGN})
  if(NOT (SUITE_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    return()
  endif()
  add_executable(${name} ${F_SOURCE})
  foreach(layer IN LISTS F_LINKS)
    target_compile_options(${layer} PRIVATE -fsanitize=fuzzer-no-link)
  endforeach()
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LINKS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
