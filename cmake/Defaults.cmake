# Compiler settings shared by every target of the project.

# bq_defaults(target): warnings on, src/ as include root.
function(bq_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-unused-parameter
                                           -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wshadow=local)
  endif()
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
endfunction()

# bq_library(name DIR dir LIBS ... [EXCLUDE file ...]): a static library of every .cpp in dir but the files named
# (the runtime leaves out entry.cpp, which only the executable compiles).
function(bq_library name)
  cmake_parse_arguments(A "" "DIR" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  foreach(ex IN LISTS A_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "/${ex}$")
  endforeach()
  add_library(${name} STATIC ${srcs})
  bq_defaults(${name})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# Environment every test runs in: headless SDL, software renderer, silent audio (set by tests/headless_env.cpp;
# scripts that run the game headless use this list).
set(BQ_TEST_ENV
  "SDL_VIDEODRIVER=offscreen;SDL_RENDER_DRIVER=software;SDL_FRAMEBUFFER_ACCELERATION=0;SDL_AUDIODRIVER=dummy;BQ_HEADLESS=1"
  CACHE INTERNAL "")

# bq_test_dir(name LIBS ...): one test executable from every *_test.cpp of the calling folder.
function(bq_test_dir name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*_helpers.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  bq_defaults(${name})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS} bq_test_common GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE BQ_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
                                             BQ_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # The headless environment comes from tests/headless_env.cpp (variables already set win): a list-valued
  # ENVIRONMENT property does not survive gtest_discover_tests, which keeps only its first variable.
  target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/headless_env.cpp)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
