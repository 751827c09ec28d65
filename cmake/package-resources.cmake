# ombral_package_resources(TARGET RELEASE): the resources of the package DLL
# built against host framework release RELEASE (4, 5 or 6), generated at
# build time by pkgres and formbin and compiled into TARGET from their .rc.
function(ombral_package_resources target release)
  if(NOT WIN32)
    message(FATAL_ERROR "ombral_package_resources: ${target} is no Win32 target; only windres reads the .rc")
  endif()
  if(NOT release MATCHES "^[456]$")
    message(FATAL_ERROR "ombral_package_resources: release ${release} is not 4, 5 or 6")
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  set(form ${dir}/TOLVEXABOUTFORM.bin)
  set(rc ${dir}/ombral${release}.rc)
  set(outputs)
  foreach(name PACKAGEINFO.bin PACKAGEOPTIONS.bin DESCRIPTION.bin VERSION.bin TOMBRALCREATOR.bmp ICON1.bin MAINICON.bin)
    list(APPEND outputs ${dir}/${name})
  endforeach()
  # Release 6 keeps text past ASCII in its forms as UTF-8 strings.
  set(utf8)
  if(release EQUAL 6)
    set(utf8 --utf8)
  endif()
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${rc} ${outputs} ${form}
    COMMAND pkgres ${release} ${dir} ${form}
    COMMAND formbin ${utf8} ${OMBRAL_ABOUT_FORM_TEXT} ${form}
    DEPENDS pkgres formbin ${OMBRAL_ABOUT_FORM_TEXT}
    COMMENT "Package resources of release ${release} for ${target}"
    VERBATIM)
  set_source_files_properties(${rc} PROPERTIES GENERATED TRUE OBJECT_DEPENDS "${outputs};${form}")
  target_sources(${target} PRIVATE ${rc})
  set_property(TARGET ${target} PROPERTY OMBRAL_RESOURCE_DIR ${dir})
endfunction()
