# The simulated desktop and the tests that run the program on it.
option(VANTREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(VANTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
# The libFuzzer target (clang only, the `fuzz` preset): the program and the
# desktop carry the fuzzer's coverage instrumentation.
option(VANTREL_FUZZ "Build the libFuzzer target fuzz/vantrel_fuzz.cpp" OFF)
if(VANTREL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

file(GLOB VANTREL_SIM_SOURCES CONFIGURE_DEPENDS sim/*.cpp)
add_library(vantrel_sim STATIC ${VANTREL_SIM_SOURCES})
target_include_directories(vantrel_sim PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(vantrel_sim PUBLIC VANTREL_SIM=1)

add_library(vantrel_core STATIC ${VANTREL_CORE_SOURCES})
target_link_libraries(vantrel_core PUBLIC vantrel_sim)

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB VANTREL_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(vantrel_tests ${VANTREL_TEST_SOURCES})
target_link_libraries(vantrel_tests PRIVATE vantrel_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(vantrel_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS host)

# End-to-end tests of the real exe under Wine; they need the win64 build beside this one.
set(VANTREL_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "The win64 build to test under Wine")
option(VANTREL_E2E "Register the Wine tests" ON)
if(VANTREL_E2E)
  include(${CMAKE_SOURCE_DIR}/e2e/tests.cmake OPTIONAL)
endif()

# Benchmarks (bench preset only, so that the tests' build stays as it is).
option(VANTREL_BENCH "Build the host benchmark" OFF)
if(VANTREL_BENCH)
  include(${CMAKE_SOURCE_DIR}/bench/bench.cmake)
endif()

if(VANTREL_FUZZ)
  include(${CMAKE_SOURCE_DIR}/fuzz/fuzz.cmake)
else()
  include(${CMAKE_SOURCE_DIR}/fuzz/tests.cmake)
endif()

# Two release builds of the same tree give the same bytes (label dist).
include(${CMAKE_SOURCE_DIR}/cmake/dist.cmake)
