# The layers of the program. Each layer is a static library whose headers
# are reachable only through an include folder of its own, in which the
# layer's source folder appears under its name (src/model as "model/...").
# Linking a layer PUBLIC brings the include folders of the layers below it;
# an include of a layer above is not found, and the build fails.
#
# Every header of a layer below the windows is also compiled on its own
# against its layer, so that a header is self-contained and cannot reach
# upwards either, even where none of its layer's sources includes it.

function(tolvane_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${root})
  tolvane_warnings(${target})

  if(folder STREQUAL "ui" OR folder STREQUAL "batch" OR NOT TOLVANE_HEADER_CHECKS)
    return()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  set(checks)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME_WE)
    set(check ${CMAKE_BINARY_DIR}/headercheck/${folder}/${name}.cpp)
    set(text "#include \"${folder}/${name}.h\"\n")
    if(EXISTS ${check})
      file(READ ${check} old)
    else()
      set(old "")
    endif()
    if(NOT old STREQUAL text)
      file(WRITE ${check} "${text}")
    endif()
    list(APPEND checks ${check})
  endforeach()
  if(checks)
    add_library(${target}_headers OBJECT ${checks})
    target_link_libraries(${target}_headers PRIVATE ${target})
    tolvane_warnings(${target}_headers)
  endif()
endfunction()
