# Every target of the project compiles with warnings as errors.
add_library(jolstrand_warnings INTERFACE)
target_compile_options(jolstrand_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough)
