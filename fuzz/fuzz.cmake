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
