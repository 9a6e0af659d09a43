# The layers of the program and the only place that says which layer may use which.
#
#   layer   target          may use (directly)
#   base    hx350_base      -
#   serial  hx350_serial    base
#   host    hx350_host      serial base
#   link    hx350_link      serial base
#   params  hx350_params    base
#   app     hx350_app       link params serial host base
#   sim     hx350_simcore   base
#   ui      hx350_ui        app link params serial host base, and Qt
#
# Nothing but ui links Qt. A layer's link list names what it really uses (a subset of its row); what it
# includes in its own headers it links PUBLIC. Each layer's sources see the headers of exactly the layers
# they link: the layer's include root, <build>/include/<layer>/, holds one entry, <layer>/, a link to
# src/<layer>/, so `#include "link/device_link.h"` compiles only in a layer that links hx350_link.
# hx350_check_layer_edges() fails the configuration when a link list leaves its row, and the layers tests
# (tests/layers) prove that an include across a forbidden edge does not compile.

set(HX350_LAYERS base serial host link params app sim ui)
set(HX350_LAYER_USES_base "")
set(HX350_LAYER_USES_serial base)
set(HX350_LAYER_USES_host serial base)
set(HX350_LAYER_USES_link serial base)
set(HX350_LAYER_USES_params base)
set(HX350_LAYER_USES_app link params serial host base)
set(HX350_LAYER_USES_sim base)
set(HX350_LAYER_USES_ui app link params serial host base)

# The folder of a layer target ("hx350_simcore" -> "sim"); "" for a target that is no layer.
function(hx350_layer_of target out)
  set(layer "")
  if(target STREQUAL "hx350_simcore")
    set(layer sim)
  elseif(target MATCHES "^hx350_(.+)$" AND CMAKE_MATCH_1 IN_LIST HX350_LAYERS)
    set(layer ${CMAKE_MATCH_1})
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

# hx350_layer_include_root(LAYER OUT): creates <build>/include/LAYER/LAYER -> src/LAYER and returns the
# root folder.
function(hx350_layer_include_root layer out)
  set(root ${PROJECT_BINARY_DIR}/include/${layer})
  file(MAKE_DIRECTORY ${root})
  if(NOT IS_SYMLINK ${root}/${layer})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# hx350_add_layer(TARGET LAYER [PUBLIC layers...] [PRIVATE layers...]): a static library of every .cpp of
# src/LAYER (main.cpp left out), whose headers are seen through the layer's include root, linked with the
# layer targets named (by layer name).
function(hx350_add_layer target layer)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PUBLIC;PRIVATE")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*.cpp)
  list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/${layer}/main.cpp)
  add_library(${target} STATIC ${sources})
  hx350_layer_include_root(${layer} root)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PRIVATE hx350_options PUBLIC hx350_sanitizers)
  foreach(scope PUBLIC PRIVATE)
    foreach(used ${arg_${scope}})
      if(used STREQUAL "sim")
        target_link_libraries(${target} ${scope} hx350_simcore)
      else()
        target_link_libraries(${target} ${scope} hx350_${used})
      endif()
    endforeach()
  endforeach()
endfunction()

# Fails the configuration when a layer target links a layer its row does not name, or when a layer below
# ui links Qt. Reads the targets' final link lists, so it also sees edges added outside hx350_add_layer.
function(hx350_check_layer_edges)
  foreach(layer ${HX350_LAYERS})
    if(layer STREQUAL "sim")
      set(target hx350_simcore)
    else()
      set(target hx350_${layer})
    endif()
    if(NOT TARGET ${target})
      continue()
    endif()
    get_target_property(linked ${target} LINK_LIBRARIES)
    if(NOT linked)
      set(linked "")
    endif()
    foreach(item ${linked})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
      hx350_layer_of("${item}" used)
      if(used AND NOT used IN_LIST HX350_LAYER_USES_${layer})
        message(FATAL_ERROR "layer ${layer} (${target}) links ${item}: layer ${used} is not in its row "
                            "of cmake/Layers.cmake")
      endif()
      if(NOT layer STREQUAL "ui" AND item MATCHES "^Qt")
        message(FATAL_ERROR "layer ${layer} (${target}) links ${item}: only the window uses Qt")
      endif()
    endforeach()
  endforeach()
endfunction()
