# Warning flags for the project's own targets; never applied globally.
function(patapata_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(PATAPATA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
