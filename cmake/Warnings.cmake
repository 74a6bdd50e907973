# Warnings are errors for everything the project compiles itself.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-qual
  -Wformat -Wformat-security -Wimplicit-fallthrough -Werror
  # Designated initialisers leave members to their defaults on purpose.
  -Wno-missing-field-initializers)
