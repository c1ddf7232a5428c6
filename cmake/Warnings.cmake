# Compiler warnings shared by every target; HUEBROOK_WERROR turns them into errors in CI.
option(HUEBROOK_WERROR "Treat compiler warnings as errors" OFF)

function(huebrook_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
    if(HUEBROOK_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
