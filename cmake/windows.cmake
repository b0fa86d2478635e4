# The product: vantrel.exe for 32- or 64-bit Windows, one self-contained file.
enable_language(RC)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "64")
  set(VANTREL_MANIFEST_ARCH amd64)
else()
  set(VANTREL_MANIFEST_ARCH x86)
endif()
configure_file(resources/vantrel.manifest.in ${CMAKE_BINARY_DIR}/vantrel.manifest @ONLY)
configure_file(resources/version.h.in ${CMAKE_BINARY_DIR}/version.h @ONLY)

# Reproducible, lean, no runtime DLL of our own.
set(VANTREL_WIN_LINK -static -static-libgcc -static-libstdc++ -mwindows -Wl,--no-insert-timestamp
    -Wl,--gc-sections -s)
set(VANTREL_WIN_COMPILE -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti)

add_executable(vantrel WIN32 app/winmain.cpp ${VANTREL_CORE_SOURCES} resources/vantrel.rc)
target_include_directories(vantrel PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(vantrel PRIVATE ${VANTREL_WIN_COMPILE})
target_link_options(vantrel PRIVATE ${VANTREL_WIN_LINK})
target_link_libraries(vantrel PRIVATE user32 gdi32 kernel32)
set_property(SOURCE resources/vantrel.rc APPEND PROPERTY OBJECT_DEPENDS
             ${CMAKE_BINARY_DIR}/vantrel.manifest ${CMAKE_SOURCE_DIR}/resources/vantrel.ico)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR} -I${CMAKE_SOURCE_DIR}/resources")

# Small Win32 programs the end-to-end tests use (inspector, receivers, key holders).
file(GLOB VANTREL_E2E_TOOLS CONFIGURE_DEPENDS e2e/tools/*.cpp)
foreach(tool_source ${VANTREL_E2E_TOOLS})
  get_filename_component(tool ${tool_source} NAME_WE)
  add_executable(${tool} ${tool_source})
  target_link_options(${tool} PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(${tool} PRIVATE user32 gdi32 kernel32)
endforeach()

# The benchmark's Win32 programs (the minimal paste program, the paste timer),
# built the way vantrel.exe is, so that the yardstick differs from it only in
# what it does.
file(GLOB VANTREL_BENCH_TOOLS CONFIGURE_DEPENDS bench/tools/*.cpp)
foreach(tool_source ${VANTREL_BENCH_TOOLS})
  get_filename_component(tool ${tool_source} NAME_WE)
  add_executable(${tool} WIN32 ${tool_source})
  target_compile_options(${tool} PRIVATE ${VANTREL_WIN_COMPILE})
  target_link_options(${tool} PRIVATE ${VANTREL_WIN_LINK})
  target_link_libraries(${tool} PRIVATE user32 gdi32 kernel32)
endforeach()
