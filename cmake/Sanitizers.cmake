# AddressSanitizer and UndefinedBehaviorSanitizer for every target (HUEBROOK_SANITIZE), and
# the libFuzzer harnesses, which need clang (HUEBROOK_FUZZ).
option(HUEBROOK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(HUEBROOK_FUZZ "Build the libFuzzer harnesses (clang only)" OFF)

if(HUEBROOK_SANITIZE OR HUEBROOK_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    # For the few tests that cannot run under the sanitizers' runtime (clang 14 has no
    # __SANITIZE_ADDRESS__).
    add_compile_definitions(HUEBROOK_SANITIZE)
endif()
