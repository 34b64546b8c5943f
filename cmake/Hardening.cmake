# The hardening a Debian package is built with, for every target: position-independent
# executables, the stack protector, fortified C library calls (they need the optimiser, so only
# in the optimised build types) and full RELRO with immediate binding. Sanitizer builds go
# without fortify, which would hide calls from the sanitizers' interceptors.
option(PELLIUM_HARDENING "Build with the hardening flags of a Debian package" ON)
if(NOT PELLIUM_HARDENING)
  return()
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong)
if(PELLIUM_SANITIZE STREQUAL "")
  # Some compilers define _FORTIFY_SOURCE themselves; one definition, of this level, remains.
  add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>"
    "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
