# The desktop program: the windows of every subsystem (src/*/ui/) in one
# static library on top of the core, and the thin main() of apps/torvane/.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts Multimedia PrintSupport Svg)
# The graphs (Debian's Qt 6 build of QCustomPlot, GPL-3.0).
find_package(QCustomPlotQt6 REQUIRED)

file(GLOB_RECURSE TORVANE_UI_SOURCES CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/src/*/ui/*.cpp" "${CMAKE_SOURCE_DIR}/src/*/ui/*.hpp")
list(FILTER TORVANE_UI_SOURCES EXCLUDE REGEX "/ui/module/")
add_library(torvane_ui STATIC ${TORVANE_UI_SOURCES})
set_target_properties(torvane_ui PROPERTIES AUTOMOC ON)
target_link_libraries(torvane_ui PUBLIC torvane_core Qt6::Widgets Qt6::Charts Qt6::Multimedia
                      Qt6::PrintSupport Qt6::Svg QCustomPlotQt6::QCustomPlotQt6)
# The program's icon and the toolbar's own icons, for desktops whose theme
# has none (":/icons/<name>.svg").
file(GLOB TORVANE_ICONS CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources/icons/*.svg")
qt_add_resources(torvane_ui "torvane_icons" PREFIX "/icons"
                 BASE "${CMAKE_SOURCE_DIR}/resources/icons" FILES ${TORVANE_ICONS})

file(GLOB TORVANE_DESKTOP_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/apps/torvane/*.cpp")
add_executable(torvane ${TORVANE_DESKTOP_SOURCES})
target_link_libraries(torvane PRIVATE torvane_ui)

# The launcher entry and the icon it names, where desktops look for them.
install(TARGETS torvane RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${CMAKE_SOURCE_DIR}/packaging/torvane.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/resources/icons/torvane.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# The report module: the page painter of the trial report, loaded by
# `torvane-cli report` (dlopen) so that torvane-cli itself needs no Qt. It
# holds no copy of the core: the report arrives as plain texts and numbers.
add_library(torvane-report MODULE "${CMAKE_SOURCE_DIR}/src/report/ui/module/report_module.cpp"
            "${CMAKE_SOURCE_DIR}/src/report/ui/report_page.cpp")
set_target_properties(torvane-report PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                      VISIBILITY_INLINES_HIDDEN ON
                      LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
target_include_directories(torvane-report PRIVATE "${CMAKE_SOURCE_DIR}/src"
                           "${CMAKE_BINARY_DIR}/generated")
target_link_libraries(torvane-report PRIVATE Qt6::Gui Qt6::PrintSupport)
target_link_options(torvane-report PRIVATE "LINKER:--no-undefined")
if(TARGET torvane-cli)
  add_dependencies(torvane-cli torvane-report)
endif()
install(TARGETS torvane-report LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}/torvane")
