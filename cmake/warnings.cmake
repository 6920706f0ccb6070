# Every target of the project compiles with warnings as errors.
add_library(jolstrand_warnings INTERFACE)
target_compile_options(jolstrand_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough)
# GCC 12 reports impossible overlaps in inlined std::string code at -O3 (GCC bug 105651).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(jolstrand_warnings INTERFACE -Wno-restrict)
endif()
