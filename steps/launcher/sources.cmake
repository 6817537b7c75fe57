# The launcher group: the Desktop Entry FINISH leaves on the desktop (its file name, its text and the writing
# of the file), decided from the recorder's portal values or its link.
target_sources(vrx_steps PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DesktopLauncher.cpp ${CMAKE_CURRENT_LIST_DIR}/DesktopLauncher.h)
# What FINISH's launcher is made of, from the cloud values, and whether a run must write it.
target_sources(vrx_steps PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LauncherRules.cpp ${CMAKE_CURRENT_LIST_DIR}/LauncherRules.h)
