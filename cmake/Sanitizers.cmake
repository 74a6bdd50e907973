# The fuzz build is always sanitized, and gives libFuzzer coverage feedback from all of our
# code, not only from the harnesses.
if(VELMORA_SANITIZE OR VELMORA_BUILD_FUZZ)
  set(_velmora_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_velmora_san})
  add_link_options(${_velmora_san})
endif()
if(VELMORA_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/fuzz/coverage-ignore.txt)
endif()
