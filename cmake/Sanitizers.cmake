# AddressSanitizer and UndefinedBehaviorSanitizer for every target (HUEBROOK_SANITIZE), and
# the libFuzzer harnesses, which need clang (HUEBROOK_FUZZ).
option(HUEBROOK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(HUEBROOK_FUZZ "Build the libFuzzer harnesses (clang only)" OFF)

if(HUEBROOK_SANITIZE OR HUEBROOK_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
