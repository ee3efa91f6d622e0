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

# Results must not depend on the compiler: no fused multiply-add may merge a
# product into a sum and drop the product's rounding. Every compiler that
# knows the flag gets it; MSVC contracts only under /fp:fast, which is never
# set.
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-ffp-contract=off QUILLO_HAS_FP_CONTRACT_OFF)
function(quillo_exact_floating_point target)
  if(QUILLO_HAS_FP_CONTRACT_OFF)
    target_compile_options(${target} PRIVATE -ffp-contract=off)
  endif()
endfunction()
