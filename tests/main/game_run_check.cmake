# The executable brisquel2 as a player starts it, headless: a short run ends with exit code 0 and leaves both files
# in a fresh data folder; a start that cannot open its screen ends with the error's message on standard error and
# exit code -1 (255). Run as: cmake -DGAME=<brisquel2> -DWORK=<scratch folder> -P game_run_check.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(headless SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy BQ_HEADLESS=1
    BQ_FRAME_MS=16 BQ_SEED=1 "XDG_DATA_HOME=${WORK}/data")

execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=offscreen ${headless} BQ_EXIT_AFTER=30
                        "BQ_SCREENSHOT=30:${WORK}/frame30.png" "${GAME}"
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a headless run ended with ${rc}:\n${err}")
endif()
foreach(f data/Brisquel2/mm_config.txt data/Brisquel2/mm_config.bin frame30.png)
  if(NOT EXISTS "${WORK}/${f}")
    message(FATAL_ERROR "a headless run left no ${f}")
  endif()
endforeach()
file(SIZE "${WORK}/data/Brisquel2/mm_config.bin" size)
if(NOT size EQUAL 10880)
  message(FATAL_ERROR "mm_config.bin has ${size} bytes")
endif()
if(out MATCHES "failed loading")
  message(FATAL_ERROR "a first start reported missing files:\n${out}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=no_such_video_driver ${headless} BQ_EXIT_AFTER=30
                        "${GAME}"
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 255 OR NOT err MATCHES "no_such_video_driver")
  message(FATAL_ERROR "without a screen: exit code ${rc}, standard error \"${err}\"")
endif()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "game run check: a headless run to the main menu, and a failed start ends with -1")
