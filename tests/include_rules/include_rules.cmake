# The include rule: a file of src/ includes only headers of its own layer or of the layers below it, never another
# subsystem's private header, and the toolkit nothing but the platform and itself. The layers and arrows are drawn
# in docs/architecture.md. Run as: cmake -DSRC=<src folder> [-DEXPECT=<violations>] -P include_rules.cmake
# (EXPECT, 0 by default, is how many violations the tree must have: the planted tree of this folder has some).

cmake_policy(VERSION 3.25)

# What each folder may include (its own folder always).
set(allow_platform "")
set(allow_main "platform")
set(allow_board "platform;main")
set(allow_effects "platform;main;board")
set(allow_castle "platform;main;board;effects")
set(allow_menus "platform;main;board;effects;castle")
set(allow_toolkit "platform")
set(allow_editor "platform;main;board;toolkit")
set(allow_game "platform;main;board;effects;castle;menus;toolkit;editor")

# A subsystem's public headers (what others may include); folders not listed offer every header but the private
# ones (*_internal.h, *_private.h and the platform's own SDL and codec glue).
set(public_board "board.h;pieces.h;rules.h;level_file.h;play.h;board_hooks.h")
set(public_castle "castle.h")
set(public_menus "menus.h")
set(public_effects "effects.h")
set(public_editor "editor.h")
set(private_platform "sdl_context.h;input_sdl.h;codecs.h;sound_codecs.h;keymap.h")

get_filename_component(SRC "${SRC}" ABSOLUTE)
if(NOT DEFINED EXPECT)
  set(EXPECT 0)
endif()

# The folder (layer) of a path relative to src/.
function(layer_of rel out)
  if(rel MATCHES "^([a-z]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.cpp ${SRC}/*.h)
list(SORT files)
set(violations 0)
foreach(rel IN LISTS files)
  layer_of("${rel}" from)
  if(NOT DEFINED allow_${from})
    continue()
  endif()
  file(STRINGS ${SRC}/${rel} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "\"([^\"]+)\"")
      continue()
    endif()
    set(inc "${CMAKE_MATCH_1}")
    layer_of("${inc}" to)
    if(to STREQUAL "") # a header next to the file ("solver.h"): its own folder
      continue()
    endif()
    get_filename_component(name "${inc}" NAME)
    set(why "")
    if(NOT to STREQUAL from AND NOT to IN_LIST allow_${from})
      set(why "${from} may not include ${to}")
    elseif(NOT to STREQUAL from)
      if(DEFINED public_${to} AND NOT name IN_LIST public_${to})
        set(why "private header of ${to}")
      elseif(name MATCHES "_(internal|private)\\.h$" OR (DEFINED private_${to} AND name IN_LIST private_${to}))
        set(why "private header of ${to}")
      endif()
    endif()
    if(why)
      message("${rel}: #include \"${inc}\": ${why}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

if(NOT violations EQUAL EXPECT)
  message(FATAL_ERROR "include rule: ${violations} violations, expected ${EXPECT}")
endif()
message(STATUS "include rule: ${violations} violations, as expected")
