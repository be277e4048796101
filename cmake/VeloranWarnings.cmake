# Warnings apply to project targets only; Qt and other system headers are included as SYSTEM.
function(veloran_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
    $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
  if(VELORAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
