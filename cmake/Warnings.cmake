# Project-wide compiler settings. The arithmetic follows fixed rounding points, so
# nothing may reassociate or fuse floating-point operations.
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
if(NIMBREL_WERROR)
  add_compile_options(-Werror)
endif()
