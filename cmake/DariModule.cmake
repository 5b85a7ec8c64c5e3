# dari_add_module(<name> SOURCES ... [DEPS <module> ...] [TESTS <test sources> ...])
#
# Each folder under dari/ is one module: an object library dari_<name> that links
# only the modules it may depend on. Its test program links exactly the objects of
# the module and of its dependencies (transitively), so a module that reaches into
# a module it has not declared fails to link its tests: the build enforces the
# dependency direction. The installed library dari is the union of all modules.
function(dari_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;TESTS" ${ARGN})
  add_library(dari_${name} OBJECT ${M_SOURCES})
  target_include_directories(dari_${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  target_link_libraries(dari_${name} PUBLIC dari_flags)

  set(closure "")
  foreach(dep IN LISTS M_DEPS)
    if(NOT TARGET dari_${dep})
      message(FATAL_ERROR "module ${name}: dependency ${dep} must be added first")
    endif()
    target_link_libraries(dari_${name} PUBLIC dari_${dep})
    get_property(depClosure GLOBAL PROPERTY DARI_CLOSURE_${dep})
    list(APPEND closure ${dep} ${depClosure})
  endforeach()
  list(REMOVE_DUPLICATES closure)
  set_property(GLOBAL PROPERTY DARI_CLOSURE_${name} "${closure}")
  set_property(GLOBAL APPEND PROPERTY DARI_MODULES ${name})

  if(DARI_BUILD_TESTS AND M_TESTS)
    add_executable(dari_${name}_test ${M_TESTS})
    target_link_libraries(dari_${name}_test PRIVATE dari_${name} GTest::gtest_main)
    foreach(dep IN LISTS closure)
      target_link_libraries(dari_${name}_test PRIVATE dari_${dep})
    endforeach()
    gtest_discover_tests(dari_${name}_test DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()
