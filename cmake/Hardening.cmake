# The hardening Debian's dpkg-buildflags asks of a package, for every build and so for the tests
# too: position-independent executables, a strong stack protector, fortified string and memory
# calls, and relocations read-only from the start (RELRO with -z now).
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# Fortification needs the optimizer, and the sanitizers check the same calls their own way.
if(NOT HUEBROOK_SANITIZE AND NOT HUEBROOK_FUZZ)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
