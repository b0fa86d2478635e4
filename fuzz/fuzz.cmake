# The libFuzzer target: the program on the simulated desktop, fed sequences of
# user actions and messages from other programs. Included by cmake/host.cmake
# when VANTREL_FUZZ is on; needs clang (the `fuzz` preset). The program and the
# desktop are built with coverage for the fuzzer (-fsanitize=fuzzer-no-link,
# set in host.cmake), the target itself links libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "VANTREL_FUZZ needs clang++ (cmake --preset fuzz)")
endif()

add_executable(vantrel_fuzz ${CMAKE_SOURCE_DIR}/fuzz/vantrel_fuzz.cpp)
target_link_libraries(vantrel_fuzz PRIVATE vantrel_core)
target_compile_options(vantrel_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(vantrel_fuzz PRIVATE -fsanitize=fuzzer)

# New inputs found by a run go to the build tree; the seed corpus in the
# repository is only read.
set(VANTREL_FUZZ_SEEDS ${CMAKE_SOURCE_DIR}/fuzz/corpus)
set(VANTREL_FUZZ_WORK ${CMAKE_BINARY_DIR}/fuzz-corpus)
set(VANTREL_FUZZ_ARTIFACTS ${CMAKE_BINARY_DIR}/fuzz-artifacts)
file(MAKE_DIRECTORY ${VANTREL_FUZZ_WORK} ${VANTREL_FUZZ_ARTIFACTS})
set(VANTREL_FUZZ_SHORT_SECONDS 60 CACHE STRING "How long the fuzz.short test fuzzes")

# Every seed once: each is a scenario whose checks must hold.
add_test(NAME fuzz.corpus
         COMMAND vantrel_fuzz -runs=0 -artifact_prefix=${VANTREL_FUZZ_ARTIFACTS}/ ${VANTREL_FUZZ_SEEDS})
# A short run from the seeds; what it finds that breaks a check is left in
# fuzz-artifacts/ and can be replayed with `build/fuzz/vantrel_fuzz FILE`.
add_test(NAME fuzz.short
         COMMAND vantrel_fuzz -max_total_time=${VANTREL_FUZZ_SHORT_SECONDS} -timeout=20
                 -print_final_stats=1 -artifact_prefix=${VANTREL_FUZZ_ARTIFACTS}/
                 ${VANTREL_FUZZ_WORK} ${VANTREL_FUZZ_SEEDS})
set_tests_properties(fuzz.corpus fuzz.short PROPERTIES LABELS fuzz TIMEOUT 600)
