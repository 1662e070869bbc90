# Each source folder becomes one static library of all the .cpp files in it, so adding a unit
# never needs a build-file edit. A folder without sources yet makes no library.
set(KV6_ALL_LIBRARIES "" CACHE INTERNAL "")

function(kv6_library name)
  set(sources "")
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
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

# One GoogleTest executable per test folder, of every .cpp in it; its main installs the headless
# kit before the tests run.
function(kv6_test_suite name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} "${PROJECT_SOURCE_DIR}/tests/testmain.cpp")
  target_link_libraries(${name} PRIVATE ${ARGN} kv6_test_support kv6_platform_headless GTest::gtest
                                        GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
