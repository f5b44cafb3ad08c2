# MURREL_SANITIZE selects the sanitizers for the whole build: "address;undefined", "thread" or empty.
set(MURREL_SANITIZE "" CACHE STRING "Sanitizers to build with: address;undefined, thread, or empty")

if(MURREL_SANITIZE)
    list(JOIN MURREL_SANITIZE "," _murrel_sanitizers)
    add_compile_options(-fsanitize=${_murrel_sanitizers} -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=${_murrel_sanitizers})
    if("undefined" IN_LIST MURREL_SANITIZE)
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()
