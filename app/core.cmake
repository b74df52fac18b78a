# The main window's logic and the program entry (portable).
add_library(kv_app STATIC HDUnit.cpp HDUnit.h Kelvane.cpp Kelvane.h)
target_include_directories(kv_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kv_app PUBLIC kv_disk kv_ui kv_device)
if(TARGET kv_icons)
  target_link_libraries(kv_app PUBLIC kv_icons)
endif()
