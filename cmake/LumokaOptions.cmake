# Compiler settings shared by every target, and the helper that pulls in each area's folder.

add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(WIN32)
  enable_language(RC)
  add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
  # Everything links statically, so the executable and DLLs run alone on a Windows machine.
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  # Shared libraries are named as Windows names them (no lib prefix).
  set(CMAKE_SHARED_LIBRARY_PREFIX "")
  set(CMAKE_SHARED_MODULE_PREFIX "")
else()
  option(LUMOKA_SANITIZE "Build the native tree with AddressSanitizer and UBSan" ON)
  if(LUMOKA_SANITIZE)
    # -O1 as the sanitizers advise, with line tables only: reports keep file and line, and the
    # tree builds in about half the time of -O2 -g.
    add_compile_options(-O1 -g1)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

# Adds every folder under DIR (one or two levels deep) that has a CMakeLists.txt of its own.
function(lumoka_add_areas dir)
  set(base ${CMAKE_SOURCE_DIR}/${dir})
  if(NOT EXISTS ${base})
    return()
  endif()
  file(GLOB lists RELATIVE ${base} ${base}/*/CMakeLists.txt ${base}/*/*/CMakeLists.txt)
  list(SORT lists)
  foreach(l ${lists})
    get_filename_component(sub ${l} DIRECTORY)
    add_subdirectory(${base}/${sub} ${CMAKE_BINARY_DIR}/${dir}/${sub})
  endforeach()
endfunction()

# Windows test programs: a GoogleTest executable registered with CTest; it runs under
# Wine through CMAKE_CROSSCOMPILING_EMULATOR. Native tests use the same helper.
# A program that shows a window or reads the screen carries the label `screen`; under Wine each
# such test then takes one `screens` resource (scripts/test.sh hands out displays of their own,
# see lumoka_start_screens in scripts/wine-env.sh), so no other test's window covers its own.
# SHARDS n (n > 1) registers the program as n tests, name/1 .. name/n, each running every n-th
# case (GoogleTest's sharding), so a long program no longer sets the run's critical path; the
# TIMEOUT then holds for each shard. ${name}_TESTS names the tests made, for properties set
# afterwards (add environment with set_property(TEST ... APPEND PROPERTY ENVIRONMENT ...)).
function(lumoka_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT;SHARDS" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(tests ${name})
  if(ARG_SHARDS AND ARG_SHARDS GREATER 1)
    set(tests "")
    math(EXPR last "${ARG_SHARDS} - 1")
    foreach(i RANGE ${last})
      math(EXPR number "${i} + 1")
      add_test(NAME ${name}/${number} COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name}/${number} PROPERTIES ENVIRONMENT
        "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${i}")
      list(APPEND tests ${name}/${number})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  endif()
  set_tests_properties(${tests} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    set_tests_properties(${tests} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  set(${name}_TESTS ${tests} PARENT_SCOPE)
  lumoka_defer_screen_resources()
endfunction()

# At the end of the calling folder's list file, when every test's labels are final (also those
# set by set_tests_properties after the helper), gives each test labelled `screen` a screen.
function(lumoka_defer_screen_resources)
  get_directory_property(deferred LUMOKA_SCREENS_DEFERRED)
  if(WIN32 AND NOT deferred)
    set_directory_properties(PROPERTIES LUMOKA_SCREENS_DEFERRED ON)
    cmake_language(DEFER CALL lumoka_assign_screen_resources)
  endif()
endfunction()

function(lumoka_assign_screen_resources)
  get_directory_property(tests TESTS)
  foreach(t ${tests})
    get_test_property(${t} LABELS labels)
    if(labels AND "screen" IN_LIST labels)
      set_tests_properties(${t} PROPERTIES RESOURCE_GROUPS "screens:1")
    endif()
  endforeach()
endfunction()
