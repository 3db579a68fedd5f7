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

file(GLOB TORVANE_DESKTOP_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/apps/torvane/*.cpp")
add_executable(torvane ${TORVANE_DESKTOP_SOURCES})
target_link_libraries(torvane PRIVATE torvane_ui)
