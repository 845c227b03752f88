# Every target of the project gets the same warnings; third-party headers come in as
# system includes, so they cannot break a -Werror build.
add_compile_options(-Wall -Wextra -Wpedantic)
if(KORVEL_WERROR)
    add_compile_options(-Werror)
endif()

# The sources hold Chinese message texts in UTF-8.
if(MSVC)
    add_compile_options(/utf-8)
endif()

if(KORVEL_FUZZ)
    # Everything is instrumented for coverage; only the targets link libFuzzer's main.
    set(korvel_fuzz_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_compile_options(${korvel_fuzz_flags})
    add_link_options(-fsanitize=address,undefined)
endif()

if(KORVEL_SANITIZE)
    set(korvel_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    add_compile_options(${korvel_sanitizers})
    add_link_options(${korvel_sanitizers})
endif()
