# Reads the icon list and generates, at build time, the SVG files the resources hold.
find_program(NODE_EXECUTABLE NAMES node nodejs REQUIRED)

set(ARVEXHUB_ICON_SET_JSON "${PROJECT_SOURCE_DIR}/node_modules/@iconify-json/qlementine-icons/icons.json")
set(ARVEXHUB_FLAG_ICONS_DIR "${PROJECT_SOURCE_DIR}/node_modules/flag-icons/flags/4x3")
if(NOT EXISTS "${ARVEXHUB_ICON_SET_JSON}")
  message(FATAL_ERROR "The icon set is missing: run scripts/bootstrap first.")
endif()

# arvexhub_read_icon_list(<list header> <names var> <freedesktop var>)
# <freedesktop var> receives "freedesktop-name=category/name" pairs.
function(arvexhub_read_icon_list list_header names_var freedesktop_var)
  file(STRINGS "${list_header}" lines REGEX "^ARVEXHUB_ICON16\\(")
  set(names)
  set(freedesktop)
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^ARVEXHUB_ICON16\\([A-Za-z0-9_]+, \"([a-z]+/[a-z0-9-]+)\", \"([a-z0-9-]*)\"\\)$")
      message(FATAL_ERROR "Malformed icon line: ${line}")
    endif()
    list(APPEND names "${CMAKE_MATCH_1}")
    if(CMAKE_MATCH_2)
      list(APPEND freedesktop "${CMAKE_MATCH_2}=${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${names_var} "${names}" PARENT_SCOPE)
  set(${freedesktop_var} "${freedesktop}" PARENT_SCOPE)
endfunction()

# arvexhub_add_icon_resources(<target> <list header>)
# Generates the SVGs and adds them to <target>'s resources under
# ":/arvexhub/style/icons/16/<category>/<name>.svg", and as the "qlementine" icon theme
# under their freedesktop names.
function(arvexhub_add_icon_resources target list_header)
  arvexhub_read_icon_list("${list_header}" names freedesktop)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/icons16")
  set(svgs)
  foreach(name IN LISTS names)
    set(svg "${out_dir}/${name}.svg")
    list(APPEND svgs "${svg}")
    set_source_files_properties("${svg}" PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS "${name}.svg")
  endforeach()
  add_custom_command(
    OUTPUT ${svgs}
    COMMAND "${NODE_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/scripts/make-icons.mjs"
            "${ARVEXHUB_ICON_SET_JSON}" "${out_dir}" ${names}
    DEPENDS "${PROJECT_SOURCE_DIR}/scripts/make-icons.mjs" "${ARVEXHUB_ICON_SET_JSON}" "${list_header}"
    COMMENT "Writing the 16 px icons"
    VERBATIM)
  qt_add_resources(${target} "arvexhub_icons16"
    PREFIX "/arvexhub/style/icons/16"
    FILES ${svgs})

  # The same files once more, named as a freedesktop icon theme.
  set(theme_dir "${CMAKE_CURRENT_BINARY_DIR}/icon-theme")
  set(theme_files "${theme_dir}/index.theme")
  file(WRITE "${theme_dir}/index.theme.in"
    "[Icon Theme]\nName=qlementine\nComment=Arvex Hub icons\nDirectories=16x16\n\n[16x16]\nSize=16\nType=Scalable\nMinSize=8\nMaxSize=512\n")
  configure_file("${theme_dir}/index.theme.in" "${theme_dir}/index.theme" COPYONLY)
  set_source_files_properties("${theme_dir}/index.theme" PROPERTIES QT_RESOURCE_ALIAS "index.theme")
  foreach(pair IN LISTS freedesktop)
    string(REPLACE "=" ";" parts "${pair}")
    list(GET parts 0 fd_name)
    list(GET parts 1 name)
    set(copy "${theme_dir}/16x16/${fd_name}.svg")
    add_custom_command(OUTPUT "${copy}"
      COMMAND ${CMAKE_COMMAND} -E copy "${out_dir}/${name}.svg" "${copy}"
      DEPENDS "${out_dir}/${name}.svg" VERBATIM)
    set_source_files_properties("${copy}" PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS "16x16/${fd_name}.svg")
    list(APPEND theme_files "${copy}")
  endforeach()
  qt_add_resources(${target} "arvexhub_icon_theme"
    PREFIX "/arvexhub/style/icon-theme/qlementine"
    FILES ${theme_files})
endfunction()

# arvexhub_add_theme_resources(<target>)
# The two theme files, compiled in under ":/arvexhub/launcher/resources/themes".
function(arvexhub_add_theme_resources target)
  set(themes "${PROJECT_SOURCE_DIR}/resources/themes/dark.json" "${PROJECT_SOURCE_DIR}/resources/themes/light.json")
  qt_add_resources(${target} "${target}_themes"
    PREFIX "/arvexhub/launcher/resources/themes"
    BASE "${PROJECT_SOURCE_DIR}/resources/themes"
    FILES ${themes})
endfunction()
