# Where an install puts the game; shared by the install rules and the install tests.
# Packagers move things with the GNUInstallDirs variables and the two below.
include(GNUInstallDirs)

set(GF_INSTALL_GAMESDIR games CACHE STRING
    "Folder for the game's executable, under the prefix unless absolute (Debian: games)")
set(GF_INSTALL_GAME_DATADIR ${CMAKE_INSTALL_DATADIR}/games/glimmerfrost CACHE STRING
    "The game's own folder, holding Data/, under the prefix unless absolute")
set(GF_APP_ID io.github.quartzbell.glimmerfrost)
set(GF_ICON_SIZES 64 128 256)
