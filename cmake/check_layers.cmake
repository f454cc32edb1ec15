# The modules of src/ form layers, each using only the ones below it:
#
#   platform < board < notation, eval < search < book < driver
#
# notation and eval stand side by side and use neither each other. Fails on
# any include of a module that is not below (or the same as) the including
# one; with -DLIST=ON it also lists which modules each module includes.
#
#   cmake -DSOURCE=src [-DLIST=ON] -P cmake/check_layers.cmake

cmake_minimum_required(VERSION 3.20)
if(NOT SOURCE)
  message(FATAL_ERROR "usage: cmake -DSOURCE=<src> [-DLIST=ON] -P ${CMAKE_CURRENT_LIST_FILE}")
endif()

set(level_platform 0)
set(level_board 1)
set(level_notation 2)
set(level_eval 2)
set(level_search 3)
set(level_book 4)
set(level_driver 5)
set(modules platform board notation eval search book driver)

set(violations "")
foreach(module IN LISTS modules)
  file(GLOB files "${SOURCE}/${module}/*.h" "${SOURCE}/${module}/*.cpp")
  set(used "")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
      list(APPEND used ${target})
      if(NOT DEFINED level_${target})
        list(APPEND violations "${file}: unknown module ${target}")
      elseif(NOT target STREQUAL module AND NOT level_${target} LESS level_${module})
        get_filename_component(name "${file}" NAME)
        list(APPEND violations "${module}/${name} includes ${target}, which is not below ${module}")
      endif()
    endforeach()
  endforeach()
  if(LIST)
    list(REMOVE_DUPLICATES used)
    list(SORT used)
    string(REPLACE ";" " " used "${used}")
    message(STATUS "${module} (layer ${level_${module}}) includes: ${used}")
  endif()
endforeach()

if(violations)
  string(REPLACE ";" "\n  " text "${violations}")
  message(FATAL_ERROR "includes that run against the layers:\n  ${text}")
endif()
