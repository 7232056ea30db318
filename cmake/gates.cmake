# Reliability gates: a sanitizer build of everything, and a fuzzing build of
# only the fuzz targets and the libraries they link.

option(QLT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QLT_FUZZ "Build only the libFuzzer targets (needs clang)" OFF)

if(QLT_SANITIZE AND QLT_FUZZ)
  message(FATAL_ERROR "QLT_SANITIZE and QLT_FUZZ are separate builds; pick one")
endif()

if(QLT_SANITIZE)
  # Any report ends the program, so a test that trips a sanitizer fails.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(QLT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QLT_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  # Everything is instrumented for coverage; only the fuzz programs get
  # libFuzzer's main (see tests/fuzz).
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
