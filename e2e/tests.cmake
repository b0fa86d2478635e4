# End-to-end tests of the real vantrel.exe (the win64 build) under Wine, each
# on a virtual X display of its own. Included by the host build; `make test`
# builds win64 first. Without vantrel.exe they report themselves skipped.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

file(GLOB VANTREL_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/e2e/test_*.py)
foreach(test_script ${VANTREL_E2E_TESTS})
  get_filename_component(name ${test_script} NAME_WE)
  string(REGEX REPLACE "^test_" "" name ${name})
  add_test(NAME wine.${name} COMMAND ${Python3_EXECUTABLE} ${test_script})
  # One Wine prefix serves all of them and hotkeys are desktop-wide: one at a time.
  set_tests_properties(wine.${name} PROPERTIES
    LABELS wine
    RUN_SERIAL TRUE
    TIMEOUT 600
    SKIP_RETURN_CODE 77
    ENVIRONMENT "VANTREL_WIN64_DIR=${VANTREL_WIN64_DIR};VANTREL_E2E_OUT=${CMAKE_SOURCE_DIR}/build/e2e")
endforeach()
