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

# The programs are hardened as Debian hardens its own: a stack protector, relocations made
# read-only once bound at start, position-independent executables. The C library's checked
# calls need optimisation, and under the sanitizers they would stand in for the checks the
# sanitizers make, so only optimised builds without them get those.
add_compile_options(-fstack-protector-strong)
add_link_options(-Wl,-z,relro -Wl,-z,now)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
if(NOT KORVEL_SANITIZE AND NOT KORVEL_FUZZ AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    set(KORVEL_FORTIFIED ON)
    add_compile_definitions(_FORTIFY_SOURCE=2)
else()
    set(KORVEL_FORTIFIED OFF)
endif()
