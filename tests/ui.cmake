# Window tests: one Qt Test program per file under tests/*/ui/, run on the
# offscreen platform so that they need no display.
if(TARGET torvane_ui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  file(GLOB_RECURSE TORVANE_UI_TEST_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/ui/*.cpp")
  foreach(source ${TORVANE_UI_TEST_SOURCES})
    get_filename_component(name "${source}" NAME_WE)
    add_executable(${name} "${source}")
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE torvane_ui Qt6::Test)
    target_compile_definitions(${name} PRIVATE TORVANE_SOURCE_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
    add_test(NAME ui.${name} COMMAND ${name})
    set_tests_properties(ui.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false"
      TIMEOUT 300)
  endforeach()
endif()
