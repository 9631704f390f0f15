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
function(lumoka_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
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
