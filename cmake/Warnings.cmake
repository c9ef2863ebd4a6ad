# One interface target carries the flags every Vantomo target shares.
add_library(vantomo_flags INTERFACE)
target_compile_options(vantomo_flags INTERFACE
  -Wall -Wextra -Wpedantic
  # File outputs must be bit-identical on every x86-64 machine: no fused
  # multiply-add contraction, no fast-math, no -march=native.
  -ffp-contract=off
  -fno-fast-math)
if(VANTOMO_WERROR)
  target_compile_options(vantomo_flags INTERFACE -Werror)
endif()
if(VANTOMO_SANITIZE)
  target_compile_options(vantomo_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vantomo_flags INTERFACE -fsanitize=address,undefined)
endif()
