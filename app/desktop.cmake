# The desktop program `kelvane` on the Qt 6 backend and the Linux drives.
add_executable(kelvane desktop/main.cpp)
target_link_libraries(kelvane PRIVATE kv_app kv_ui_qt kv_device_linux)
set_target_properties(kelvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

install(TARGETS kelvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES desktop/kelvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The application icon for the desktop's icon theme, drawn by the icon renderer.
if(TARGET kelvane-icons)
  set(kelvane_icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
  add_custom_command(
    OUTPUT ${kelvane_icon_dir}/kelvane-16.png ${kelvane_icon_dir}/kelvane-32.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${kelvane_icon_dir}
    COMMAND kelvane-icons ${kelvane_icon_dir}
    DEPENDS kelvane-icons
    COMMENT "Drawing the application icon PNGs")
  add_custom_target(kelvane-icon-pngs ALL
    DEPENDS ${kelvane_icon_dir}/kelvane-16.png ${kelvane_icon_dir}/kelvane-32.png)
  foreach(size 16 32)
    install(FILES ${kelvane_icon_dir}/kelvane-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kelvane.png)
  endforeach()
endif()
