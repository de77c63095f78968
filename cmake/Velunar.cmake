# Helpers shared by every subsystem folder.
#
# velunar_subsystem(NAME DEPS a b ...): one library per folder, made of every .cpp below it.
# A main.cpp is never part of a library. FLAT takes only the folder itself, not its sub-folders.
# A folder that holds no sources yet becomes an INTERFACE target so dependents still link.
function(velunar_subsystem name)
  cmake_parse_arguments(ARG "FLAT" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  if(ARG_FLAT)
    file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.c")
  else()
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.c")
  endif()
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${VELUNAR_SRC_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} velunar_warnings)
    if(ARG_PRIVATE_DEPS)
      target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${VELUNAR_SRC_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} ${ARG_PRIVATE_DEPS})
  endif()
endfunction()

# velunar_add_test(NAME [SERIAL] LABEL unit|render|e2e SOURCES ... LIBS ...): one GoogleTest program,
# its cases discovered by CTest when the tests run (not at build time, so GL is not needed to build).
# Each case runs as a process of its own in a folder of its own (tests/test_tmp.h): VELUNAR_TEST_TMP
# names it and it is the current directory, so parallel cases never share a path they write.
function(velunar_add_test name)
  cmake_parse_arguments(ARG "SERIAL" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_executable(${name} ${ARG_SOURCES} ${VELUNAR_TESTS_DIR}/test_tmp.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main velunar_warnings)
  target_include_directories(${name} PRIVATE ${VELUNAR_SRC_DIR} ${VELUNAR_TESTS_DIR})
  target_compile_definitions(${name} PRIVATE
    VELUNAR_RUN_DIR="${VELUNAR_RUN_DIR}"
    VELUNAR_EXE="${VELUNAR_RUN_DIR}/velunar"
    VELUNAR_TEST_ROOT="${CMAKE_CURRENT_BINARY_DIR}/tmp_${name}")
  target_compile_options(${name} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${VELUNAR_TESTS_DIR}/test_tmp.h>")
  # SERIAL: cases that need a display server of their own run alone.
  set(serial FALSE)
  if(ARG_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL ${serial}
               ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy")
endfunction()

# velunar_add_fuzz(NAME SOURCES ... LIBS ...): a libFuzzer target under ASan and UBSan, with clang only
# (tools/fuzz.sh builds and runs every *_fuzz target; by hand: build*/tests/<folder>/NAME -max_total_time=60).
function(velunar_add_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${VELUNAR_SRC_DIR} ${VELUNAR_TESTS_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} velunar_warnings)
endfunction()
