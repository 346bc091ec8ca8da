# The program's compiled-in pictures: application icons (made from one SVG at build time),
# language flags (from the pinned flag set) and age-rating pictures.
set(ARVEXHUB_APP_ICON_SIZES 16 20 32 40 48 64 96 128 256 512 1024)

function(arvexhub_add_app_resources target)
  set(res "${PROJECT_SOURCE_DIR}/resources")
  set(icon_dir "${CMAKE_CURRENT_BINARY_DIR}/app_icon")
  set(base "arvexhub_launcher_icon")
  set(icon_files)
  foreach(size IN LISTS ARVEXHUB_APP_ICON_SIZES)
    list(APPEND icon_files "${icon_dir}/${base}_${size}.png")
  endforeach()
  list(APPEND icon_files "${icon_dir}/${base}.ico" "${icon_dir}/${base}.icns")
  add_custom_command(
    OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:render-icons> "${res}/app_icon/${base}.svg" "${icon_dir}" "${base}" ${ARVEXHUB_APP_ICON_SIZES}
    DEPENDS render-icons "${res}/app_icon/${base}.svg"
    COMMENT "Rendering the application icons"
    VERBATIM)
  foreach(file IN LISTS icon_files)
    get_filename_component(name "${file}" NAME)
    set_source_files_properties("${file}" PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS "app_icon/${name}")
  endforeach()
  set(svg "${res}/app_icon/${base}.svg")
  set_source_files_properties("${svg}" PROPERTIES QT_RESOURCE_ALIAS "app_icon/${base}.svg")

  set(flag_en "${ARVEXHUB_FLAG_ICONS_DIR}/us.svg")
  set(flag_fr "${ARVEXHUB_FLAG_ICONS_DIR}/fr.svg")
  set_source_files_properties("${flag_en}" PROPERTIES QT_RESOURCE_ALIAS "flags/en.svg")
  set_source_files_properties("${flag_fr}" PROPERTIES QT_RESOURCE_ALIAS "flags/fr.svg")

  set(ratings)
  foreach(rating all warning restricted)
    set(file "${res}/age_ratings/${rating}.svg")
    set_source_files_properties("${file}" PROPERTIES QT_RESOURCE_ALIAS "age_ratings/${rating}.svg")
    list(APPEND ratings "${file}")
  endforeach()

  qt_add_resources(${target} "${target}_pictures"
    PREFIX "/arvexhub/launcher/resources"
    FILES ${icon_files} "${svg}" "${flag_en}" "${flag_fr}" ${ratings})
endfunction()
