# One interface target carries every flag our own targets are built with.
add_library(arvexhub_options INTERFACE)
add_library(arvexhub::options ALIAS arvexhub_options)

target_compile_options(arvexhub_options INTERFACE -Wall -Wextra -Wpedantic)
if(ARVEXHUB_WERROR)
  target_compile_options(arvexhub_options INTERFACE -Werror)
endif()

target_compile_definitions(arvexhub_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
  ARVEXHUB_VERSION="${PROJECT_VERSION}")

if(ARVEXHUB_SANITIZE)
  set(_sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(arvexhub_options INTERFACE ${_sanitizers})
  target_link_options(arvexhub_options INTERFACE ${_sanitizers})
endif()

# Fuzzing: every object carries the coverage instrumentation libFuzzer steers by and the
# sanitizers that turn a silent fault into a crash; only the fuzz programs link libFuzzer itself.
if(ARVEXHUB_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ARVEXHUB_BUILD_FUZZERS needs clang (the fuzz preset uses clang++-14).")
  endif()
  set(_fuzz_instrumentation -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=undefined)
  target_compile_options(arvexhub_options INTERFACE ${_fuzz_instrumentation})
  # Qt's qCWarning(category) << ... leaves the macro's "..." empty by design; clang's -Wpedantic
  # names that a GNU extension, gcc does not.
  target_compile_options(arvexhub_options INTERFACE -Wno-gnu-zero-variadic-macro-arguments)
  target_link_options(arvexhub_options INTERFACE -fsanitize=address,undefined)
  set(ARVEXHUB_FUZZER_LINK_OPTIONS -fsanitize=fuzzer,address,undefined)
endif()
