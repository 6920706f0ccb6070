# JOLSTRAND_SANITIZE=address builds with ASan+UBSan, =thread with TSan.
if(JOLSTRAND_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(JOLSTRAND_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT JOLSTRAND_SANITIZE STREQUAL "")
  message(FATAL_ERROR "JOLSTRAND_SANITIZE must be empty, address or thread")
endif()

# For fuzzing, every library is instrumented for coverage, not only the fuzz targets' own code.
if(JOLSTRAND_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
