# cmake --install build --prefix DIR puts the self-contained game directory in
# DIR/lib/wolkenfang, a launcher in DIR/bin and a desktop entry with its icon
# in DIR/share, so that the game appears in a desktop's menu. The player's own
# prefix (~/.local) keeps the score files writable.
install(DIRECTORY ${WF_GAME_DIR}/
        DESTINATION lib/wolkenfang
        USE_SOURCE_PERMISSIONS
        PATTERN "*.sre" EXCLUDE)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/wolkenfang-launcher.sh
        DESTINATION bin RENAME wolkenfang)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/modsiegel-launcher.sh
        DESTINATION bin RENAME modsiegel)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/wolkenfang.desktop
        DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/wolkenfang.svg
        DESTINATION share/icons/hicolor/scalable/apps)
