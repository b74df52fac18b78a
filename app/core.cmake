# The main window's logic and the program entry (portable).
add_library(kv_app STATIC HDUnit.cpp HDUnit.h Kelvane.cpp Kelvane.h)
target_include_directories(kv_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kv_app PUBLIC kv_disk kv_ui kv_icons kv_device)

# The console report: the window's logic on the headless backend, reading the
# machine's drives through the Linux backend (or simulated ones, for tests).
add_executable(kelvane-report report/ReportMain.cpp)
target_link_libraries(kelvane-report PRIVATE kv_app kv_device_sim)
if(TARGET kv_device_linux)
  target_link_libraries(kelvane-report PRIVATE kv_device_linux)
  target_compile_definitions(kelvane-report PRIVATE KELVANE_HAVE_LINUX_DEVICE=1)
endif()
install(TARGETS kelvane-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
