# Warnings are errors on our own code only; third-party code keeps its own rules.
function(mg_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Werror
      -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
      -Wcast-align -Wdouble-promotion -Wformat=2)
  endif()
endfunction()
