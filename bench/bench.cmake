# The host benchmark: the paste action on the simulated desktop against memcpy.
# Built only by the bench preset (optimised, no sanitizers); `make bench` runs it
# together with the timings under Wine (bench/run.py).
find_package(benchmark REQUIRED)
add_executable(vantrel_bench ${CMAKE_SOURCE_DIR}/bench/paste_bench.cpp)
target_link_libraries(vantrel_bench PRIVATE vantrel_core benchmark::benchmark)

# g++ 12 at -O2 and above warns about std::string concatenation that cannot
# overlap (a known false -Wrestrict in its own headers); the optimised build
# would otherwise stop on the simulated desktop's string helpers.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(vantrel_sim PRIVATE -Wno-restrict)
endif()
