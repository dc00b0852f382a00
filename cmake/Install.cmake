# Two layouts of an installation, each an install component:
#
# portable  cmake --install build --prefix DIR puts the self-contained game
#           directory in DIR/lib/wolkenfang and launchers in DIR/bin. The
#           player's own prefix (~/.local) keeps the score files writable.
# package   the layout of a system install (the Debian package): the programs
#           in PREFIX/lib/games/wolkenfang, the game's data in
#           PREFIX/share/games/wolkenfang, and launchers in PREFIX/games that
#           give every player a game directory of their own.
#
# Both get the desktop entry, the icons, the AppStream metainfo and the
# manual pages. WF_INSTALL_LAYOUT chooses what a plain install installs; the
# other layout is still installed when asked for by name
# (cmake --install build --component package --prefix ROOT/usr).
set(WF_INSTALL_LAYOUT portable CACHE STRING "What a plain install installs: portable or package")
set_property(CACHE WF_INSTALL_LAYOUT PROPERTY STRINGS portable package)
if(NOT WF_INSTALL_LAYOUT MATCHES "^(portable|package)$")
  message(FATAL_ERROR "WF_INSTALL_LAYOUT must be portable or package, not '${WF_INSTALL_LAYOUT}'")
endif()

# The icon in the usual sizes of the hicolor theme, drawn from the SVG.
set(WF_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
set(WF_ICON_PNGS)
if(RSVG_CONVERT)
  foreach(size ${WF_ICON_SIZES})
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/wolkenfang.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_CURRENT_LIST_DIR}/wolkenfang.svg
      DEPENDS ${CMAKE_CURRENT_LIST_DIR}/wolkenfang.svg
      VERBATIM)
    list(APPEND WF_ICON_PNGS ${png})
  endforeach()
  add_custom_target(icons ALL DEPENDS ${WF_ICON_PNGS})
elseif(WF_INSTALL_LAYOUT STREQUAL "package")
  message(FATAL_ERROR "rsvg-convert (librsvg2-bin) is needed to draw the package's icons")
else()
  message(WARNING "rsvg-convert (librsvg2-bin) missing: only the SVG icon is installed")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/wolkenfang.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/org.example.wolkenfang.metainfo.xml @ONLY)

# The desktop entry: a player's prefix has its launcher on the PATH, the
# package names its launcher in full, since not every desktop session has
# the games directory on its PATH.
foreach(layout portable package)
  if(layout STREQUAL "portable")
    set(WF_DESKTOP_EXEC wolkenfang)
  else()
    set(WF_DESKTOP_EXEC ${CMAKE_INSTALL_PREFIX}/games/wolkenfang)
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wolkenfang.desktop.in
                 ${CMAKE_BINARY_DIR}/${layout}/wolkenfang.desktop @ONLY)
endforeach()

# The package's launchers, one template for both programs.
foreach(program Wolkenfang modsiegel)
  string(TOLOWER ${program} WF_LAUNCHER_NAME)
  set(WF_PROGRAM_FILE ${program})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/player-launcher.sh.in
                 ${CMAKE_BINARY_DIR}/launchers/${WF_LAUNCHER_NAME} @ONLY)
endforeach()

# Rules of one layout: wf_install(COMPONENT ARGS...) adds the component, and
# leaves the rule out of a plain install unless the layout is the chosen one.
foreach(layout portable package)
  if(layout STREQUAL WF_INSTALL_LAYOUT)
    set(WF_${layout}_RULE COMPONENT ${layout})
  else()
    set(WF_${layout}_RULE COMPONENT ${layout} EXCLUDE_FROM_ALL)
  endif()
endforeach()

# portable: the game directory as the build assembles it.
install(DIRECTORY ${WF_GAME_DIR}/
        DESTINATION lib/wolkenfang
        USE_SOURCE_PERMISSIONS
        ${WF_portable_RULE}
        PATTERN "*.sre" EXCLUDE)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/wolkenfang-launcher.sh
        DESTINATION bin RENAME wolkenfang ${WF_portable_RULE})
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/modsiegel-launcher.sh
        DESTINATION bin RENAME modsiegel ${WF_portable_RULE})

# package: programs, read-only data and the launchers apart.
install(TARGETS Wolkenfang modsiegel RUNTIME DESTINATION lib/games/wolkenfang ${WF_package_RULE})
install(FILES ${WF_GAME_DIR}/game.ini ${WF_GAME_DIR}/Info.txt
        DESTINATION share/games/wolkenfang ${WF_package_RULE})
install(DIRECTORY ${WF_GAME_DIR}/Grafiken ${WF_GAME_DIR}/mods
        DESTINATION share/games/wolkenfang ${WF_package_RULE})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launchers/wolkenfang ${CMAKE_BINARY_DIR}/launchers/modsiegel
        DESTINATION games ${WF_package_RULE})

# Both: the desktop's view of the game and the manual pages.
foreach(layout portable package)
  install(FILES ${CMAKE_BINARY_DIR}/${layout}/wolkenfang.desktop
          DESTINATION share/applications ${WF_${layout}_RULE})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/wolkenfang.svg
          DESTINATION share/icons/hicolor/scalable/apps ${WF_${layout}_RULE})
  foreach(size ${WF_ICON_SIZES})
    if(RSVG_CONVERT)
      install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/wolkenfang.png
              DESTINATION share/icons/hicolor/${size}x${size}/apps ${WF_${layout}_RULE})
    endif()
  endforeach()
  install(FILES ${CMAKE_BINARY_DIR}/org.example.wolkenfang.metainfo.xml
          DESTINATION share/metainfo ${WF_${layout}_RULE})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/wolkenfang.6 ${PROJECT_SOURCE_DIR}/docs/man/modsiegel.6
          DESTINATION share/man/man6 ${WF_${layout}_RULE})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/de/wolkenfang.6
                ${PROJECT_SOURCE_DIR}/docs/man/de/modsiegel.6
          DESTINATION share/man/de/man6 ${WF_${layout}_RULE})
endforeach()
