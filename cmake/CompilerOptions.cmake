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
