# The toolbar pictures (resources/icons/*.svg), compiled into each program that links suite_icons and
# reached as ":/icons/NAME.svg". Drawing them needs Qt's SVG plugins (libqt6svg6) at run time.
file(GLOB SUITE_ICON_FILES RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/icons/*.svg)
add_library(suite_icons STATIC)
qt_add_resources(suite_icons "suite_icons" PREFIX "/" BASE resources FILES ${SUITE_ICON_FILES})
