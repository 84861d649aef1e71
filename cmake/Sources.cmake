# The program's sources by layer, for the root build and the fuzz tree.
# setup_layer_files(<prefix> <extension>) sets, in absolute paths under SETUP_ROOT:
#   <prefix>_SYSTEM    system/      the portable system layer
#   <prefix>_CONFIG    config/      the settings
#   <prefix>_FEATURES  the portable core of the feature folders
#   <prefix>_WINDOWS   the feature folders' window units: un<Name>, one per window
set(SETUP_FEATURE_FOLDERS menu install uninstall check)

function(setup_layer_files prefix extension)
  file(GLOB system CONFIGURE_DEPENDS ${SETUP_ROOT}/system/*.${extension})
  file(GLOB config CONFIGURE_DEPENDS ${SETUP_ROOT}/config/*.${extension})
  set(features)
  set(windows)
  foreach(folder ${SETUP_FEATURE_FOLDERS})
    file(GLOB files CONFIGURE_DEPENDS ${SETUP_ROOT}/${folder}/*.${extension})
    foreach(file ${files})
      get_filename_component(name ${file} NAME)
      if(name MATCHES "^un[A-Z]")
        list(APPEND windows ${file})
      else()
        list(APPEND features ${file})
      endif()
    endforeach()
  endforeach()
  set(${prefix}_SYSTEM ${system} PARENT_SCOPE)
  set(${prefix}_CONFIG ${config} PARENT_SCOPE)
  set(${prefix}_FEATURES ${features} PARENT_SCOPE)
  set(${prefix}_WINDOWS ${windows} PARENT_SCOPE)
endfunction()
