# The fuzz target's tests. The target itself is built by the fuzz preset (clang,
# build/fuzz); its tests are registered in the host build beside the others, so
# that one CTest run reports every test of the project.
set(VANTREL_FUZZ_DIR ${CMAKE_SOURCE_DIR}/build/fuzz CACHE PATH "The fuzz build whose target the tests run")
set(VANTREL_FUZZ_SHORT_SECONDS 60 CACHE STRING "How long the fuzz.short test fuzzes")

# New inputs found by a run go to the fuzz build tree; the seed corpus in the
# repository is only read.
set(VANTREL_FUZZ_SEEDS ${CMAKE_SOURCE_DIR}/fuzz/corpus)
set(VANTREL_FUZZ_WORK ${VANTREL_FUZZ_DIR}/fuzz-corpus)
set(VANTREL_FUZZ_ARTIFACTS ${VANTREL_FUZZ_DIR}/fuzz-artifacts)
file(MAKE_DIRECTORY ${VANTREL_FUZZ_WORK} ${VANTREL_FUZZ_ARTIFACTS})

# Every seed once: each is a scenario whose checks must hold.
add_test(NAME fuzz.corpus
         COMMAND ${VANTREL_FUZZ_DIR}/vantrel_fuzz -runs=0
                 -artifact_prefix=${VANTREL_FUZZ_ARTIFACTS}/ ${VANTREL_FUZZ_SEEDS})
# A short run from the seeds; what it finds that breaks a check is left in
# fuzz-artifacts/ and can be replayed with `build/fuzz/vantrel_fuzz FILE`.
add_test(NAME fuzz.short
         COMMAND ${VANTREL_FUZZ_DIR}/vantrel_fuzz -max_total_time=${VANTREL_FUZZ_SHORT_SECONDS}
                 -timeout=20 -print_final_stats=1 -artifact_prefix=${VANTREL_FUZZ_ARTIFACTS}/
                 ${VANTREL_FUZZ_WORK} ${VANTREL_FUZZ_SEEDS})
set_tests_properties(fuzz.corpus fuzz.short PROPERTIES LABELS fuzz TIMEOUT 600)
