# The warnings for everything the project compiles itself. With VELMORA_WERROR (on in CI,
# scripts/test.sh, fuzz/run.sh and scripts/mutation-check) they are errors; a plain build
# leaves them warnings, so that a newer compiler's new warnings do not stop it.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-qual
  -Wformat -Wformat-security -Wimplicit-fallthrough
  # Designated initialisers leave members to their defaults on purpose.
  -Wno-missing-field-initializers)
if(VELMORA_WERROR)
  add_compile_options(-Werror)
endif()
