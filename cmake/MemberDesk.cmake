# One static library per subsystem folder: every .cpp/.h/.qrc in the folder belongs to it.
function(md_subsystem_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# Every tst_*.cpp in a tests/ folder becomes one Qt Test executable registered in CTest.
# The tests run headless with their own data and settings folders (see tests/support).
# Tests named in SERVER also run a second time as <name>_pg with their databases on a
# PostgreSQL server (tests/support/on_server.sh; skipped when none is given).
function(md_tests)
  cmake_parse_arguments(ARG "" "" "LIBS;SERVER" ${ARGN})
  # Qt wants a private runtime folder; without one it warns in every test program.
  set(_runtime ${PROJECT_BINARY_DIR}/test-runtime)
  file(MAKE_DIRECTORY ${_runtime})
  file(CHMOD ${_runtime} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB _extra CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(_t ${_tests})
    get_filename_component(_n ${_t} NAME_WE)
    add_executable(${_n} ${_t} ${_extra})
    target_link_libraries(${_n} PRIVATE md_testsupport ${ARG_LIBS} Qt6::Test)
    add_test(NAME ${_n} COMMAND ${_n})
    set_tests_properties(${_n} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;MEMBERDESK_SOURCE_DIR=${PROJECT_SOURCE_DIR};XDG_RUNTIME_DIR=${_runtime}"
      TIMEOUT 300)
    if(_n IN_LIST ARG_SERVER)
      add_test(NAME ${_n}_pg COMMAND ${PROJECT_SOURCE_DIR}/tests/support/on_server.sh $<TARGET_FILE:${_n}>)
      set_tests_properties(${_n}_pg PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;MEMBERDESK_SOURCE_DIR=${PROJECT_SOURCE_DIR};XDG_RUNTIME_DIR=${_runtime}"
        SKIP_RETURN_CODE 77 TIMEOUT 300)
    endif()
  endforeach()
endfunction()

# A helper program the application starts: built next to the memberdesk executable and
# installed into the helper folder, where ProgramPath finds it.
function(md_helper_program name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  install(TARGETS ${name} RUNTIME DESTINATION ${MD_HELPERDIR})
endfunction()
