# Helpers for registering tests and benchmarks the same way in every folder.

# sky_gtest(TARGET SOURCES... [LIBS libs...] [GL]): a GoogleTest program registered with ctest.
# GL marks tests that need a display: label "gl", and a shared lock so that tests which read
# pixels or move the pointer on the one Xvfb server never run at the same time.
function(sky_gtest target)
  cmake_parse_arguments(ARG "GL" "" "LIBS" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE GTest::gtest_main ${ARG_LIBS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ARG_GL)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS gl RESOURCE_LOCK display TIMEOUT 120)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()

# sky_benchmark(TARGET SOURCES... [LIBS libs...] [GL]): a benchmark program, built always and run
# once briefly by ctest (label "bench") to prove it runs. Figures come from running it by hand.
function(sky_benchmark target)
  cmake_parse_arguments(ARG "GL" "" "LIBS" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_test(NAME bench.${target} COMMAND ${target} --benchmark_min_time=0.01)
  if(ARG_GL)
    set_tests_properties(bench.${target} PROPERTIES LABELS "bench;gl" RESOURCE_LOCK display TIMEOUT 300)
  else()
    set_tests_properties(bench.${target} PROPERTIES LABELS bench TIMEOUT 300)
  endif()
endfunction()
