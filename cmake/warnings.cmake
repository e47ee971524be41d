# Our own targets build with warnings as errors; third-party headers are system headers.
# Emscripten's clang also counts an enumerator named like a function as a shadow (the
# platform events and the input calls); the g++ builds keep -Wshadow honest.
function(gf_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
    if(EMSCRIPTEN)
        target_compile_options(${target} PRIVATE -Wno-shadow)
    endif()
endfunction()
