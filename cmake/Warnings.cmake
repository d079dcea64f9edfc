# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings are set here for every target; no pragma silences one in the sources.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
  if(VELUMBRA_WERROR)
    add_compile_options(-Werror)
  endif()
endif()
