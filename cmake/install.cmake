# Installing the game where Debian puts games, and packing it as a .deb.
include(${PROJECT_SOURCE_DIR}/packaging/layout.cmake)

# The installed game finds its Data from its own folder, so a moved install still plays.
foreach(dir GF_INSTALL_GAMESDIR GF_INSTALL_GAME_DATADIR)
    if(IS_ABSOLUTE "${${dir}}")
        set(${dir}_FULL "${${dir}}")
    else()
        set(${dir}_FULL "${CMAKE_INSTALL_PREFIX}/${${dir}}")
    endif()
endforeach()
file(RELATIVE_PATH GF_INSTALLED_GAME_DIR "${GF_INSTALL_GAMESDIR_FULL}"
     "${GF_INSTALL_GAME_DATADIR_FULL}")
target_compile_definitions(glimmerfrost PRIVATE GF_INSTALLED_GAME_DIR="${GF_INSTALLED_GAME_DIR}")

# The font is embedded in the executable, so its licence ships with it.
find_file(GF_FONT_LICENSE copyright PATHS /usr/share/doc/fonts-lobster NO_DEFAULT_PATH)
if(NOT GF_FONT_LICENSE)
    message(WARNING "The font's licence /usr/share/doc/fonts-lobster/copyright is "
                    "missing: an install would ship the font without it")
endif()

install(TARGETS glimmerfrost RUNTIME DESTINATION ${GF_INSTALL_GAMESDIR})
install(FILES ${GF_DATA_FILES} DESTINATION ${GF_INSTALL_GAME_DATADIR}/Data)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${GF_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${GF_ICON_SIZES})
    install(FILES ${GF_ASSET_DIR}/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${GF_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${GF_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(GF_FONT_LICENSE)
    install(FILES ${GF_FONT_LICENSE} DESTINATION ${CMAKE_INSTALL_DOCDIR}
            RENAME fonts-lobster.copyright)
endif()

# The .deb: `make deb`, or cpack in the build folder. Its dependencies come from
# dpkg-shlibdeps reading the executable.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerfrost)
set(CPACK_PACKAGE_VENDOR "Quartzbell Games")
set(CPACK_PACKAGE_CONTACT "Quartzbell Games")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "night-flight arcade game of catching presents")
set(CPACK_PACKAGE_DESCRIPTION
    "Your sleigh and its two frost elk cross a scrolling winter landscape by night.
Each round lays out fifty presents, warpers and bombs: steer up and down to
catch the presents, take the warpers for a burst of speed and dodge the bombs,
all against a sixty-second clock. The scene can be drawn flat or as an
anaglyph stereo image for two-colour glasses.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quartzbell Games")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
