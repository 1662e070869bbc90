# Each source folder becomes one static library of all the .cpp files in it, so adding a unit
# never needs a build-file edit; a folder given after RECURSE also takes in its subfolders (base/,
# cad/, app/, platform/ and tables/modules/ keep their units in folders by concern). A folder
# without sources yet makes no library.
set(KV6_ALL_LIBRARIES "" CACHE INTERNAL "")

function(kv6_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "RECURSE")
  set(sources "")
  foreach(dir IN LISTS arg_UNPARSED_ARGUMENTS)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  foreach(dir IN LISTS arg_RECURSE)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
  if(NOT name STREQUAL "kv6_platform_qt")
    set(KV6_ALL_LIBRARIES "${name};${KV6_ALL_LIBRARIES}" CACHE INTERNAL "")
  endif()
endfunction()

# Links target to those of the given libraries that exist.
function(kv6_link_if target)
  if(NOT TARGET ${target})
    return()
  endif()
  foreach(dep IN LISTS ARGN)
    if(TARGET ${dep})
      target_link_libraries(${target} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

# Every test runs in a home of its own: HOME, the XDG folders and TMPDIR point into one folder,
# made afresh before the tests of a ctest run and removed after them, so that nothing a test or Qt
# writes (the file dialogs' history, temporary folders) stays in the developer's own folders or in
# the shared temporary folder. Overlapping ctest runs of one build tree share it (cmake/test-home).
# The folder lies in /tmp under a short name of the build tree's own: report headers show the test
# folders made inside it, and a path as deep as a build tree can lie would no longer fit their
# boxes. Qt wants the runtime folder private.
string(MD5 build_tree_hash "${PROJECT_BINARY_DIR}")
string(SUBSTRING "${build_tree_hash}" 0 8 build_tree_hash)
set(KV6_TEST_HOME "/tmp/kv6t-${build_tree_hash}")
set(KV6_TEST_ENVIRONMENT
    "HOME=${KV6_TEST_HOME}/home" "XDG_CONFIG_HOME=${KV6_TEST_HOME}/config"
    "XDG_DATA_HOME=${KV6_TEST_HOME}/data" "XDG_RUNTIME_DIR=${KV6_TEST_HOME}/run"
    "TMPDIR=${KV6_TEST_HOME}/tmp")

# The tests that make and remove the test home, added once, in the first folder that asks.
function(kv6_test_home_fixture)
  get_property(added GLOBAL PROPERTY KV6_TEST_HOME_ADDED)
  if(added)
    return()
  endif()
  set_property(GLOBAL PROPERTY KV6_TEST_HOME_ADDED TRUE)
  set(home "${KV6_TEST_HOME}")
  set(script "${PROJECT_SOURCE_DIR}/cmake/test-home")
  add_test(NAME test_home_make COMMAND "${script}" make "${home}")
  set_tests_properties(test_home_make PROPERTIES FIXTURES_SETUP kv6_test_home)
  add_test(NAME test_home_remove COMMAND "${script}" remove "${home}")
  set_tests_properties(test_home_remove PROPERTIES FIXTURES_CLEANUP kv6_test_home)
endfunction()

# Every test of the calling folder (or of the given one), those added after the call too, runs in
# the test home.
function(kv6_tests_in_test_home)
  kv6_test_home_fixture()
  set(dir "${CMAKE_CURRENT_SOURCE_DIR}")
  if(ARGC GREATER 0)
    set(dir "${ARGV0}")
  endif()
  cmake_language(DEFER DIRECTORY "${dir}" CALL kv6_put_folder_tests_in_test_home)
endfunction()

function(kv6_put_folder_tests_in_test_home)
  get_directory_property(tests TESTS)
  list(REMOVE_ITEM tests test_home_make test_home_remove)
  if(tests)
    set_property(TEST ${tests} APPEND PROPERTY ENVIRONMENT ${KV6_TEST_ENVIRONMENT})
    set_property(TEST ${tests} APPEND PROPERTY FIXTURES_REQUIRED kv6_test_home)
  endif()
endfunction()

# One GoogleTest executable per test folder, of every .cpp in it; with RECURSE also of the
# *_test.cpp files of its subfolders, which mirror a source folder's concerns (other subfolders
# hold sample writers and tools built on their own), except the one named after EXCEPT, whose
# tests make a program of their own. Its main installs the headless kit before the tests run.
# gtest_discover_tests hands a list in its PROPERTIES on flattened, so that ENVIRONMENT would keep
# only its first variable: a ctest script of our own, read after the discovered tests, sets the
# environment of the tests it lists.
function(kv6_test_suite name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "RECURSE" "EXCEPT" "")
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
  if(arg_RECURSE)
    file(GLOB_RECURSE tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*/*_test.cpp")
    if(arg_EXCEPT)
      file(GLOB_RECURSE others CONFIGURE_DEPENDS
           "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${arg_EXCEPT}/*_test.cpp")
      list(REMOVE_ITEM tests ${others})
    endif()
    list(APPEND sources ${tests})
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} "${PROJECT_SOURCE_DIR}/tests/testmain.cpp")
  target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} kv6_test_support kv6_platform_headless GTest::gtest
                                        GTest::gmock)
  kv6_test_home_fixture()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES FIXTURES_REQUIRED kv6_test_home)
  set(environment "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${environment}" "if(${name}_TESTS)
  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT
    \"QT_QPA_PLATFORM=offscreen;${KV6_TEST_ENVIRONMENT}\")
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${environment}")
endfunction()
