# Warnings for every target of the project; MURREL_WERROR turns them into errors.
option(MURREL_WERROR "Treat warnings as errors" OFF)

function(murrel_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(MURREL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
