# Warnings stay on and clean for every target of ours.
function(vrz_set_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wconversion -Wno-sign-conversion -Wnon-virtual-dtor -Wold-style-cast)
  endif()
endfunction()
