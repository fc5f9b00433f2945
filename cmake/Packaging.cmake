# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation and the Debian package (cpack -G DEB). The runner and the editor are installed
# only when this tree builds them.
include(GNUInstallDirs)

set(VEYRATH_PKGLIBDIR "lib/veyrath")
set(VEYRATH_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(VEYRATH_MAINTAINER "Veyrath maintainers <maintainers@veyrath.invalid>")
set(VEYRATH_DEB_VERSION "${PROJECT_VERSION}-1")
set(veyrath_staging "${PROJECT_BINARY_DIR}/packaging")

# Paths as installed, for the files that name each other.
set(usr "${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT usr)
    set(usr "/usr")
endif()
set(VEYRATH_RUNNER "${usr}/${CMAKE_INSTALL_BINDIR}/veyrath")
set(VEYRATH_EDITOR "${usr}/${VEYRATH_PKGLIBDIR}/editor")
set(VEYRATH_SCRIPT_TOOL "${usr}/${CMAKE_INSTALL_BINDIR}/veyrath-script")
set(VEYRATH_LAUNCH "${usr}/${VEYRATH_PKGLIBDIR}/launch")

# What the package must hold, checked by tests/package/check-deb.sh.
set(veyrath_expected
    "./usr/bin/veyrath-script"
    "./usr/share/man/man1/veyrath-script.1.gz"
    "./usr/share/doc/veyrath/copyright"
    "./usr/share/doc/veyrath/changelog.Debian.gz"
    "./usr/share/lintian/overrides/veyrath")

install(TARGETS veyrath-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(man_pages veyrath-script)

if(TARGET veyrath OR TARGET editor)
    configure_file(${VEYRATH_PACKAGING_DIR}/launch.in ${veyrath_staging}/launch @ONLY)
    install(PROGRAMS ${veyrath_staging}/launch DESTINATION ${VEYRATH_PKGLIBDIR})
    list(APPEND veyrath_expected "./usr/${VEYRATH_PKGLIBDIR}/launch")
endif()

# program target, installed name, installed folder, desktop and AppStream id. The id is the
# reversed domain of the maintainers' address, as AppStream asks; the programs name their
# desktop file after it too, so a Wayland desktop finds the icon of their windows.
set(VERSION ${PROJECT_VERSION})
foreach(program IN ITEMS "veyrath;veyrath;${CMAKE_INSTALL_BINDIR};invalid.veyrath.veyrath"
                         "editor;veyrath-editor;${VEYRATH_PKGLIBDIR};invalid.veyrath.editor")
    list(GET program 0 target)
    list(GET program 1 name)
    list(GET program 2 folder)
    list(GET program 3 id)
    if(NOT TARGET ${target})
        continue()
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION ${folder})
    if(target STREQUAL "veyrath" AND TARGET veyrath-speech)
        install(TARGETS veyrath-speech LIBRARY DESTINATION ${VEYRATH_PKGLIBDIR}/voice)
        list(APPEND veyrath_expected "./usr/${VEYRATH_PKGLIBDIR}/voice/veyrath-speech.so")
    endif()
    configure_file(${VEYRATH_PACKAGING_DIR}/${id}.desktop.in ${veyrath_staging}/${id}.desktop
                   @ONLY)
    install(FILES ${veyrath_staging}/${id}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${VEYRATH_PACKAGING_DIR}/${id}.metainfo.xml.in
                   ${veyrath_staging}/${id}.metainfo.xml @ONLY)
    install(FILES ${veyrath_staging}/${id}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${VEYRATH_ICON_SOURCE_DIR}/${name}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    list(APPEND veyrath_expected "./usr/share/icons/hicolor/scalable/apps/${name}.svg")
    foreach(size IN LISTS VEYRATH_ICON_SIZES)
        install(FILES ${VEYRATH_ICON_DIR}/${size}x${size}/apps/${name}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
        list(APPEND veyrath_expected "./usr/share/icons/hicolor/${size}x${size}/apps/${name}.png")
    endforeach()
    list(APPEND man_pages ${name})
    list(APPEND veyrath_expected "./usr/${folder}/${target}"
         "./usr/share/applications/${id}.desktop" "./usr/share/metainfo/${id}.metainfo.xml"
         "./usr/share/man/man1/${name}.1.gz")
endforeach()

# The generic name "editor" belongs to the system's editor alternative, so the editor lives
# in the package's own folder and is reached on the PATH under a name of its own.
if(TARGET editor)
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK ../${VEYRATH_PKGLIBDIR}/editor
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/veyrath-editor\" SYMBOLIC)")
    list(APPEND veyrath_expected "./usr/bin/veyrath-editor")
endif()

# Debian wants manual pages and changelogs compressed, without a time stamp.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(compressed)
foreach(page IN LISTS man_pages)
    configure_file(${VEYRATH_PACKAGING_DIR}/man/${page}.1 ${veyrath_staging}/${page}.1 @ONLY)
    list(APPEND compressed ${veyrath_staging}/${page}.1.gz)
    install(FILES ${veyrath_staging}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${VEYRATH_PACKAGING_DIR}/changelog.Debian ${veyrath_staging}/changelog.Debian @ONLY)
list(APPEND compressed ${veyrath_staging}/changelog.Debian.gz)
foreach(file IN LISTS compressed)
    string(REGEX REPLACE "\\.gz$" "" source ${file})
    add_custom_command(OUTPUT ${file} COMMAND ${GZIP_EXECUTABLE} -9nkf ${source} DEPENDS ${source}
                       VERBATIM)
endforeach()
add_custom_target(veyrath-docs ALL DEPENDS ${compressed})
install(FILES ${veyrath_staging}/changelog.Debian.gz ${VEYRATH_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${VEYRATH_PACKAGING_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME veyrath)

string(JOIN "\n" expected_text ${veyrath_expected})
file(WRITE ${veyrath_staging}/expected-files.txt "${expected_text}\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veyrath)
set(CPACK_PACKAGE_VENDOR "Veyrath maintainers")
set(CPACK_PACKAGE_CONTACT "${VEYRATH_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# The voice module loads libflite's voice libraries only when it speaks, so no shared-library
# dependency names them, and eSpeak NG's voices are data; the sound server is what a desktop
# already runs. speech-dispatcher is the desktop's own speech service, for --voice system.
if(TARGET veyrath AND VEYRATH_EMBEDDED_VOICES)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
           ", libflite1, libespeak-ng1, espeak-ng-data, libpulse0")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, speech-dispatcher, ")
elseif(TARGET veyrath)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-speech-flite-plugin")
endif()
# The windows are laid out for Arial, whose measures Liberation Sans shares. Qt's PostgreSQL
# driver is loaded only for a script held by a server: a script in a folder, the usual case,
# needs none of it, and the programs name the package when a server script finds it missing.
string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, libqt6sql6-psql")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spoken, scripted question-and-answer conversations")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The Lumbrel Veyrath holds an unhurried conversation with one user: lines
drawn from a script are shown in large text, asked in input and yes/no
boxes, and read aloud. Edit the Veyrath (veyrath-editor) changes the script,
and veyrath-script creates, checks, exports and imports scripts.")
include(CPack)
