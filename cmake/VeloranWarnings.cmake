# Warnings apply to project targets only; Qt and other system headers are included as SYSTEM.
function(veloran_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)
  if(VELORAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
