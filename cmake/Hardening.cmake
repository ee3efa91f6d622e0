# Hardening of the optimised builds (Release, RelWithDebInfo, MinSizeRel):
# checked buffer functions (_FORTIFY_SOURCE, which needs optimisation), stack
# protectors, position-independent executables and read-only relocations.
# Included once by the top-level CMakeLists before any target is made; it
# applies to every target. Sanitizer and fuzzing builds switch it off with
# -DQUILLO_HARDENING=OFF, since AddressSanitizer does the checking there.
option(QUILLO_HARDENING "Harden optimised builds (fortify, stack protector, PIE)" ON)

if(QUILLO_HARDENING AND NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(quillo_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  # The distribution's compiler may define _FORTIFY_SOURCE itself; undefine
  # it first so that the compiler warns of no redefinition.
  add_compile_options("$<${quillo_optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
                      "$<${quillo_optimised}:-fstack-protector-strong>")
  add_link_options("$<${quillo_optimised}:LINKER:-z,relro,-z,now>")

  # Position-independent static libraries would otherwise let every global
  # function be replaced at load time, which stops GCC from inlining them
  # (the lexer's character tests into NextToken, for one): a quarter of the
  # calculation's speed. The libraries are only ever linked statically.
  add_compile_options(-fno-semantic-interposition)

  include(CheckPIESupported)
  check_pie_supported(OUTPUT_VARIABLE quillo_pie_output LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
