# The warnings every target of the project is compiled with. They are errors
# only when QUILLO_WERROR is on: the test script, CI and the developer presets
# turn it on, so that no new warning gets in; a user or packager whose newer
# compiler finds warnings nobody here has seen still gets a program.
option(QUILLO_WERROR "Treat compiler warnings as errors" OFF)

function(quillo_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(QUILLO_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
    if(QUILLO_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
