# Run after a test binary is linked: lists its GoogleTest cases and writes a
# ctest file with one test per suite ("Suite.*", run with that filter), so a
# run starts one process per suite instead of one per case: under the
# sanitizers a start of the test binary costs about 0.2 s of a core, which
# for a thousand cases was most of the unit tests' time.
# Variables: TEST_EXECUTABLE, CTEST_FILE, LABEL, XDG_DATA_HOME_DIR,
# WORKING_DIR, NO_LEAK_CHECK (ON for binaries that talk to GL or SDL).
execute_process(COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                        ${TEST_EXECUTABLE} --gtest_list_tests
                WORKING_DIRECTORY ${WORKING_DIR}
                OUTPUT_VARIABLE listing RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${result})")
endif()
string(REPLACE "\n" ";" lines "${listing}")
# Suites in listing order, each with its number of cases.
set(suites "")
foreach(line IN LISTS lines)
  # A suite's line starts in the first column ("Suite." or "Prefix/Suite.",
  # maybe followed by "  # TypeParam = ..."); its cases are indented.
  if(line MATCHES "^([^ #][^ ]*)\\.")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set(cases_${suite} 0)
  elseif(line MATCHES "^  [^ ]" AND suites)
    math(EXPR cases_${suite} "${cases_${suite}} + 1")
  endif()
endforeach()
set(script "")
foreach(suite IN LISTS suites)
  set(test "${suite}.*")
  # ctest starts the costliest first: a suite of many cases (the rooms'
  # parameterised ones) must not be the last to start on two cores.
  string(APPEND script "add_test([=[${test}]=] [=[${TEST_EXECUTABLE}]=] [=[--gtest_filter=${test}]=])\n")
  string(APPEND script "set_tests_properties([=[${test}]=] PROPERTIES LABELS ${LABEL} TIMEOUT 300 COST ${cases_${suite}} "
                       "WORKING_DIRECTORY [=[${WORKING_DIR}]=] ENVIRONMENT [=[XDG_DATA_HOME=${XDG_DATA_HOME_DIR}]=]")
  if(NO_LEAK_CHECK)
    string(APPEND script " ENVIRONMENT_MODIFICATION ASAN_OPTIONS=set:detect_leaks=0")
  endif()
  string(APPEND script ")\n")
endforeach()
if(script STREQUAL "")
  message(FATAL_ERROR "${TEST_EXECUTABLE} lists no test")
endif()
file(WRITE ${CTEST_FILE} "${script}")
