# Helpers shared by every folder's CMakeLists.txt.

set(ZAV_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/tests/lsan.supp)
set(ZAV_TEST_ENV
    "QT_QPA_PLATFORM=offscreen"
    "LSAN_OPTIONS=suppressions=${ZAV_LSAN_SUPPRESSIONS}:print_suppressions=0"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# Seconds a test program may run before CTest stops it, a few times a normal
# run under the sanitizers on a busy machine, so that a hang fails fast instead
# of after CTest's 1,500 s. A slow program has its own entry here (or passes
# TIMEOUT); normal runs with ctest -j 8 were about 260 s for app_tests (its interrupted-save tests reopen after every step), 70 s for
# dialogs_tests, 22 s for layout_tests, 15 to 30 s for end_to_end_tests, under
# 10 s for the others and under 10 s for each corpus replay (30 s and more on
# a machine busy with a build).
set(ZAV_TEST_TIMEOUT 60)
set(ZAV_TEST_TIMEOUT_app_tests 600)
set(ZAV_TEST_TIMEOUT_dialogs_tests 240)
set(ZAV_TEST_TIMEOUT_layout_tests 120)
set(ZAV_TEST_TIMEOUT_end_to_end_tests 180)
set(ZAV_FUZZ_REPLAY_TIMEOUT 120)

# zav_add_library(NAME SOURCES ... DEPS ...)
function(zav_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# Whether one of the targets links `wanted`, directly or through our own
# libraries.
function(zav_links_to out wanted)
  set(queue ${ARGN})
  set(seen)
  set(found FALSE)
  while(queue)
    list(POP_FRONT queue lib)
    if(lib STREQUAL wanted)
      set(found TRUE)
      break()
    endif()
    if(NOT lib MATCHES "^zav_" OR NOT TARGET ${lib} OR lib IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${lib})
    get_target_property(kind ${lib} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
      get_target_property(libs ${lib} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(libs ${lib} LINK_LIBRARIES)
    endif()
    if(libs)
      list(APPEND queue ${libs})
    endif()
  endwhile()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# zav_add_test(NAME [TIMEOUT SECONDS] SOURCES ... DEPS ...): one GoogleTest
# executable, one CTest entry. A program that can write EFF files gets the
# fixed clock of tests/support/FixedEffClock.cpp.
function(zav_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_TIMEOUT AND DEFINED ZAV_TEST_TIMEOUT_${name})
    set(ARG_TIMEOUT ${ZAV_TEST_TIMEOUT_${name}})
  elseif(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${ZAV_TEST_TIMEOUT})
  endif()
  zav_links_to(writes_eff zav_imageprocessing ${ARG_DEPS})
  if(writes_eff)
    list(APPEND ARG_SOURCES ${CMAKE_SOURCE_DIR}/tests/support/FixedEffClock.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE ZAV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZAV_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# zav_add_fuzz_target(NAME [TIMEOUT SECONDS] SOURCES ... DEPS ...): the harness
# (NAME.cpp defines LLVMFuzzerTestOneInput). Always builds a replay driver that
# runs every file of fuzz/corpus/NAME under CTest; with ZAV_FUZZ (clang) also
# the libFuzzer binary.
function(zav_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${ZAV_FUZZ_REPLAY_TIMEOUT})
  endif()
  set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  add_executable(fuzz_replay_${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(fuzz_replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(fuzz_replay_${name} PRIVATE ${ARG_DEPS})
  add_test(NAME fuzz_replay_${name} COMMAND fuzz_replay_${name} ${corpus})
  set_tests_properties(fuzz_replay_${name} PROPERTIES ENVIRONMENT "${ZAV_TEST_ENV}" TIMEOUT ${ARG_TIMEOUT})
  if(ZAV_FUZZ)
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
  endif()
endfunction()

# zav_folder_library(NAME DEPS ...): the folder's library from every .cpp in it
# (sub-folders included), so that files can be added without editing this list.
function(zav_folder_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(sources)
    zav_add_library(${name} SOURCES ${sources} DEPS ${ARG_DEPS})
  else() # a folder whose code has not come yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zav_folder_tests(NAME [TIMEOUT SECONDS] DEPS ...): one test program from every
# *Test.cpp of the folder (sub-folders included) plus any helper .cpp in a
# "support" sub-folder.
function(zav_folder_tests name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
  if(sources)
    zav_add_test(${name} TIMEOUT ${ARG_TIMEOUT} SOURCES ${sources} DEPS ${ARG_DEPS})
  endif()
endfunction()
