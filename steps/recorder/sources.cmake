# The recorder's steps: discovery and choice by MAC, its administrator account, time zone and disks.
target_sources(vrx_steps PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RecorderDiscovery.cpp ${CMAKE_CURRENT_LIST_DIR}/RecorderDiscovery.h
  ${CMAKE_CURRENT_LIST_DIR}/AdminAccount.cpp ${CMAKE_CURRENT_LIST_DIR}/AdminAccount.h
  ${CMAKE_CURRENT_LIST_DIR}/AdminPasswordRule.cpp ${CMAKE_CURRENT_LIST_DIR}/AdminPasswordRule.h
  ${CMAKE_CURRENT_LIST_DIR}/RecorderReplies.cpp ${CMAKE_CURRENT_LIST_DIR}/RecorderReplies.h
  ${CMAKE_CURRENT_LIST_DIR}/TimeZone.cpp ${CMAKE_CURRENT_LIST_DIR}/TimeZone.h
  ${CMAKE_CURRENT_LIST_DIR}/Disks.cpp ${CMAKE_CURRENT_LIST_DIR}/Disks.h
  ${CMAKE_CURRENT_LIST_DIR}/DiskFormat.cpp ${CMAKE_CURRENT_LIST_DIR}/DiskFormat.h)
