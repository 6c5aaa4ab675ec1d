# The embedded asset archive.
#
# Every generator in tools/ is an executable that takes the asset folder as its first argument and writes its files
# below it (paths as the game names them, e.g. Images/MainMenu/mm_00.jpg). A generator registers itself with
# bq_asset_generator(); it reruns only when its executable (that is, its sources) changes. After every folder has
# been added, bq_embed_assets() packs the folder into one archive and makes the object library `bq_assets`, which
# defines bq_assets_begin / bq_assets_end (see src/platform/incbin.h). Link `bq_assets` into the game and into
# tests that open "incbin::" files.

if(BQ_PREBUILT_ASSETS)
  set(BQ_ASSET_DIR ${BQ_PREBUILT_ASSETS} CACHE INTERNAL "")
else()
  set(BQ_ASSET_DIR ${CMAKE_BINARY_DIR}/assets CACHE INTERNAL "")
endif()
set(BQ_STAMP_DIR ${CMAKE_BINARY_DIR}/stamps)
define_property(GLOBAL PROPERTY BQ_ASSET_STAMPS BRIEF_DOCS "stamp files of the asset generators" FULL_DOCS "")

# bq_asset_generator(target [DEPENDS files...] [ARGS extra args...])
function(bq_asset_generator target)
  cmake_parse_arguments(A "" "" "DEPENDS;ARGS" ${ARGN})
  set(stamp ${BQ_STAMP_DIR}/${target}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BQ_ASSET_DIR} ${BQ_STAMP_DIR}
    COMMAND $<TARGET_FILE:${target}> ${BQ_ASSET_DIR} ${A_ARGS}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} ${A_DEPENDS}
    COMMENT "Generating assets with ${target}"
    VERBATIM)
  # The rule for the stamp must belong to a target of this folder, or the pack step (top folder) cannot see it.
  add_custom_target(${target}_run DEPENDS ${stamp})
  set_property(GLOBAL APPEND PROPERTY BQ_ASSET_STAMPS ${stamp})
endfunction()

function(bq_embed_assets)
  get_property(stamps GLOBAL PROPERTY BQ_ASSET_STAMPS)
  if(BQ_PREBUILT_ASSETS)
    # No generator runs here: the folder's own files are what the archive depends on (re-globbed at build time, so
    # files added to the folder later are packed too).
    file(GLOB_RECURSE stamps CONFIGURE_DEPENDS ${BQ_ASSET_DIR}/*)
  endif()
  set(pak ${CMAKE_BINARY_DIR}/assets.pak)
  set(packer $<TARGET_FILE:bq_pack>)
  set(packdep bq_pack)
  add_custom_command(OUTPUT ${pak}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BQ_ASSET_DIR}
    COMMAND ${packer} ${BQ_ASSET_DIR} ${pak}
    DEPENDS ${stamps} ${packdep}
    COMMENT "Packing the embedded asset archive"
    VERBATIM)
  add_custom_target(bq_assets_pak DEPENDS ${pak})
  set(asm ${CMAKE_BINARY_DIR}/assets_blob.S)
  file(WRITE ${asm}
    "    .section .rodata\n"
    "    .balign 16\n"
    "    .global bq_assets_begin\n"
    "bq_assets_begin:\n"
    "    .incbin \"${pak}\"\n"
    "    .global bq_assets_end\n"
    "bq_assets_end:\n"
    "    .byte 0\n"
    "    .section .note.GNU-stack,\"\",@progbits\n")
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${pak})
  add_library(bq_assets OBJECT ${asm})
  add_dependencies(bq_assets bq_assets_pak)
endfunction()
