# Our own targets build with warnings as errors; third-party headers are system headers.
function(gf_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()
