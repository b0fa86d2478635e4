# The release's reproducibility test: tools/test_dist.py builds the two
# release zips twice, into fresh directories, and compares them byte for byte
# (it needs the MinGW-w64 cross compilers, as `make dist` does).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME dist.reproducible COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/test_dist.py)
set_tests_properties(dist.reproducible PROPERTIES LABELS dist TIMEOUT 900)
