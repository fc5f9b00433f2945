# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The icons are drawn as SVG in resources/icons; menus, window frames and the programs' own
# windows get PNGs rendered from them. They are rendered while configuring, so every target can
# name them as plain files, and again whenever an SVG changes (that re-runs the configuration).
find_program(RSVG_CONVERT_EXECUTABLE rsvg-convert REQUIRED)

set(VEYRATH_ICON_NAMES veyrath veyrath-editor)
# The sizes desktop menus, panels and window switchers look up before scaling anything.
set(VEYRATH_ICON_SIZES 16 24 32 48 64 128 256)
set(VEYRATH_ICON_SOURCE_DIR "${PROJECT_SOURCE_DIR}/resources/icons")
# Laid out as the hicolor theme is, so installing is copying.
set(VEYRATH_ICON_DIR "${PROJECT_BINARY_DIR}/icons/hicolor")

foreach(name IN LISTS VEYRATH_ICON_NAMES)
    set(svg "${VEYRATH_ICON_SOURCE_DIR}/${name}.svg")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${svg}")
    foreach(size IN LISTS VEYRATH_ICON_SIZES)
        set(png "${VEYRATH_ICON_DIR}/${size}x${size}/apps/${name}.png")
        if(EXISTS "${png}" AND NOT "${svg}" IS_NEWER_THAN "${png}")
            continue()
        endif()
        file(MAKE_DIRECTORY "${VEYRATH_ICON_DIR}/${size}x${size}/apps")
        execute_process(
            COMMAND ${RSVG_CONVERT_EXECUTABLE} --width ${size} --height ${size} --output "${png}"
                    "${svg}"
            RESULT_VARIABLE result
            ERROR_VARIABLE problem)
        if(NOT result EQUAL 0)
            file(REMOVE "${png}")
            message(FATAL_ERROR "Could not render ${svg} at ${size} px: ${problem}")
        endif()
    endforeach()
endforeach()
