# Fails when a source file under SRC includes a header of a folder above its own layer, or
# of another folder of its own layer: the layers of src/CMakeLists.txt, lowest first.
# Run: cmake -DSRC=<src folder> -P CheckIncludes.cmake

set(layers
  "platform/files platform/components store"
  "platform/regsvr platform tips"
  "search exchange startup jobs document"
  "terminal"
  "widgets"
  "framework"
  "screens/main screens/groups screens/subjects screens/user screens/exchange"
  "screens"
  "ombrixtips")

set(rank 0)
foreach(layer IN LISTS layers)
  string(REPLACE " " ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    set(rank_${folder} ${rank})
    list(APPEND known ${folder})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

# The folder of a header a quoted include names: the longest known folder it starts with.
function(folder_of include result)
  set(found "")
  foreach(folder IN LISTS known)
    string(LENGTH "${folder}" length)
    string(LENGTH "${found}" foundLength)
    if(include MATCHES "^${folder}/[^/]+$" AND length GREATER foundLength)
      set(found ${folder})
    endif()
  endforeach()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.cpp ${SRC}/*.h ${SRC}/*.h.in)
set(faults 0)
foreach(source IN LISTS sources)
  get_filename_component(folder ${source} DIRECTORY)
  if(NOT DEFINED rank_${folder})
    message(NOTICE "${source}: the folder ${folder} has no layer; add it to ${CMAKE_CURRENT_LIST_FILE}")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  file(STRINGS ${SRC}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" include "${line}")
    if(NOT include MATCHES "/")
      continue() # a header beside the file
    endif()
    folder_of(${include} target)
    if(target STREQUAL "")
      message(NOTICE "${source}: \"${include}\" names no folder of src")
      math(EXPR faults "${faults} + 1")
    elseif(NOT target STREQUAL folder AND NOT rank_${target} LESS rank_${folder})
      message(NOTICE "${source}: \"${include}\" points up or across the layers (${folder} may include only folders of lower layers)")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) break the layers")
endif()
message(STATUS "${count} files: every include points down the layers")
