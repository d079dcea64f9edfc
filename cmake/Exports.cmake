# SPDX-License-Identifier: GPL-3.0-or-later
# velumbra_export_headers(TARGET [PUBLIC header...] [PRIVATE header...])
#
# Makes a library's headers reachable under their path from the project root
# ("browser/core/paths.h"), and nothing else of the source tree: each library
# gets a folder of its own in the build tree holding links to the headers it
# lists, and that folder is its include directory. PUBLIC headers reach the
# library's own sources and whatever links it; PRIVATE ones its own sources
# only. A header that a target does not link therefore cannot be found at all:
# a logic library that includes a widget header fails to compile.
#
# Links are symbolic; where the file system refuses them (Windows without the
# right to make them) the headers are copied, and copied again whenever one
# changes.
function(velumbra_export_headers target)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  get_target_property(type ${target} TYPE)
  set(public_scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(public_scope INTERFACE)
  endif()
  foreach(scope IN ITEMS PUBLIC PRIVATE)
    if(NOT ARG_${scope})
      continue()
    endif()
    set(root ${PROJECT_BINARY_DIR}/exports/${target}/${scope})
    # Made afresh at each configure, so a header dropped from the list goes too.
    file(REMOVE_RECURSE ${root})
    foreach(header IN LISTS ARG_${scope})
      set(source ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      if(NOT EXISTS ${source})
        message(FATAL_ERROR "${target}: no header ${source} to export")
      endif()
      file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${source})
      get_filename_component(folder ${root}/${name} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${source} ${root}/${name} SYMBOLIC COPY_ON_ERROR)
      if(NOT IS_SYMLINK ${root}/${name})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
      endif()
    endforeach()
    if(scope STREQUAL "PUBLIC")
      target_include_directories(${target} ${public_scope} ${root})
    else()
      target_include_directories(${target} PRIVATE ${root})
    endif()
  endforeach()
endfunction()
