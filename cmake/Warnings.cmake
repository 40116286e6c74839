# Common warnings and hardening flags; every target of the project links marquill_warnings.
add_library(marquill_warnings INTERFACE)
target_compile_options(marquill_warnings INTERFACE
  -Wall -Wextra -Werror
  -Wformat -Wformat-security
  -fstack-protector-strong
  $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
target_link_options(marquill_warnings INTERFACE -Wl,-z,relro -Wl,-z,now)
