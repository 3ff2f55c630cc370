# Installed layout: the program in bin/, its web helper (no command for users) in
# libexec/fairstake/, its help file in share/fairstake/.  In the build tree all
# three sit together in bin/ (CMAKE_RUNTIME_OUTPUT_DIRECTORY).
set(FAIRSTAKE_INSTALL_HELPERDIR ${CMAKE_INSTALL_LIBEXECDIR}/fairstake)
set(FAIRSTAKE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/fairstake)

# Warnings for every target of the project, through one interface target.
add_library(fairstake_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(fairstake_warnings INTERFACE -Wall -Wextra -Wpedantic)
  if(FAIRSTAKE_WERROR)
    target_compile_options(fairstake_warnings INTERFACE -Werror)
  endif()
endif()

# fairstake_add_test(name SOURCES ... LIBS ... [QT])
# Declares one test executable and registers it with CTest.  QT marks a test
# that creates widgets: it runs on Qt's offscreen platform.
function(fairstake_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} fairstake_warnings)
  # The helpers every test may share (tests/support).
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(env ${ARG_ENV})
  if(ARG_QT)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  endif()
  if(env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
  endif()
endfunction()
