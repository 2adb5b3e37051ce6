# Build speed. The layer libraries compile in batches (unity build); those with widgets, the
# test support library, the tests and the benchmarks share one precompiled header of the Qt
# and standard headers they all include; the tests and benchmarks link one shared library
# made of the layer libraries' objects (md_shared) instead of every static library each.
# The installed programs stay static.
option(MEMBERDESK_UNITY "Compile each library's sources in batches" ON)
set(MD_UNITY_BATCH 8 CACHE STRING "Sources per batch of a library's unity build")
option(MEMBERDESK_PCH "Compile against one precompiled header of the Qt headers" ON)
# The precompiled headers: QtCore whole (Qt Test includes it whole in every test anyway) and
# the QtGui/QtWidgets classes most files include. No Qt Test header: those read macros that
# differ per test folder, and GCC takes a precompiled header only where every macro it read
# is defined alike; macros it never read may differ, so one header serves every target that
# is compiled with the same options (-O, -g, -fPIC).
set(MD_PCH_HEADERS
    <functional> <memory> <optional> <vector> <algorithm>
    <QtCore/QtCore>
    <QtGui/QColor> <QtGui/QFont> <QtGui/QKeyEvent> <QtGui/QCloseEvent> <QtGui/QPainter>
    <QtGui/QGuiApplication> <QtGui/QClipboard>
    <QtWidgets/QWidget> <QtWidgets/QApplication> <QtWidgets/QDialog> <QtWidgets/QLabel>
    <QtWidgets/QLineEdit> <QtWidgets/QPushButton> <QtWidgets/QCheckBox> <QtWidgets/QRadioButton>
    <QtWidgets/QButtonGroup> <QtWidgets/QComboBox> <QtWidgets/QGroupBox> <QtWidgets/QBoxLayout>
    <QtWidgets/QGridLayout> <QtWidgets/QFormLayout> <QtWidgets/QHeaderView>
    <QtWidgets/QScrollBar> <QtWidgets/QPlainTextEdit> <QtWidgets/QMdiArea>
    <QtWidgets/QMdiSubWindow> <QtWidgets/QMenu> <QtWidgets/QMessageBox>)
if(MEMBERDESK_PCH)
  # The holder: a target that only precompiles the headers, with the flags of the widget
  # libraries, for the others to reuse (target_precompile_headers REUSE_FROM). It defines
  # nothing of its own, so the users may add definitions.
  set(_src ${PROJECT_BINARY_DIR}/md_pch.cpp)
  file(CONFIGURE OUTPUT ${_src} CONTENT "// precompiled headers only\n")
  add_library(md_pch OBJECT ${_src})
  target_link_libraries(md_pch PRIVATE Qt6::Widgets)
  set_target_properties(md_pch PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF AUTORCC OFF)
  target_precompile_headers(md_pch PRIVATE ${MD_PCH_HEADERS})
endif()
# md_use_pch(<target>): compile <target> against the shared precompiled header.
function(md_use_pch target)
  if(MEMBERDESK_PCH)
    target_precompile_headers(${target} REUSE_FROM md_pch)
  endif()
endfunction()

# One static library per subsystem folder: every .cpp/.h/.qrc in the folder belongs to it.
function(md_subsystem_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  # The shared library of the tests is made of these objects.
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON
    UNITY_BUILD ${MEMBERDESK_UNITY} UNITY_BUILD_BATCH_SIZE ${MD_UNITY_BATCH})
  if(MEMBERDESK_UNITY)
    # A batch includes the .cpp files, so a class of one file with a member of a file-local
    # type looks to the compiler like one defined in a header.
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  # The libraries below the widgets (core, calendar, db) are small and include little of Qt:
  # their batches alone share the parsing.
  if(Qt6::Widgets IN_LIST ARG_LIBS)
    md_use_pch(${name})
  endif()
  set_property(GLOBAL APPEND PROPERTY MD_LAYER_LIBS ${name})
endfunction()

# md_shared: every layer library's objects in one shared library, with the libraries they
# use outside the project, for the test and benchmark programs (found through their RPATH
# in the build tree). Call after the last layer library.
function(md_shared_library)
  get_property(_layers GLOBAL PROPERTY MD_LAYER_LIBS)
  set(_objs "")
  set(_ext "")
  foreach(_l ${_layers})
    list(APPEND _objs $<TARGET_OBJECTS:${_l}>)
    get_target_property(_libs ${_l} LINK_LIBRARIES)
    foreach(_x ${_libs})
      if(NOT _x IN_LIST _layers)
        list(APPEND _ext ${_x})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES _ext)
  set_property(GLOBAL PROPERTY MD_SHARED_EXTERNAL ${_ext})
  add_library(md_shared SHARED ${_objs})
  target_link_libraries(md_shared PUBLIC ${_ext})
  target_include_directories(md_shared PUBLIC ${PROJECT_SOURCE_DIR}/src
    $<TARGET_PROPERTY:md_core,INTERFACE_INCLUDE_DIRECTORIES>)
endfunction()

# The layer libraries a test names in LIBS come from md_shared; others are linked as named.
function(md_link_shared target)
  get_property(_layers GLOBAL PROPERTY MD_LAYER_LIBS)
  set(_keep "")
  foreach(_x ${ARGN})
    if(NOT _x IN_LIST _layers)
      list(APPEND _keep ${_x})
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE md_shared ${_keep})
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
    target_link_libraries(${_n} PRIVATE md_testsupport Qt6::Test)
    md_link_shared(${_n} ${ARG_LIBS})
    md_use_pch(${_n})
    # Its moc file is included by the test source; the collected one stays empty and need
    # not load the precompiled header.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${_n}_autogen/mocs_compilation.cpp
                                PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
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
