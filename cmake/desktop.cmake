# The desktop program: the windows of every subsystem (src/*/ui/) in one
# static library on top of the core, and the thin main() of apps/torvane/.
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts Multimedia PrintSupport Svg)
# The graphs (Debian's Qt 6 build of QCustomPlot, GPL-3.0).
find_package(QCustomPlotQt6 REQUIRED)

file(GLOB_RECURSE TORVANE_UI_SOURCES CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/src/*/ui/*.cpp" "${CMAKE_SOURCE_DIR}/src/*/ui/*.hpp")
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
