# vrx_pages_preview: the live camera preview popup (overlay kind 8) with its picture thread, the JPEG marker
# walk and the picture decoder (libjpeg-turbo itself, for its memory limit and an abort between lines);
# RegisterPreviewOverlay() puts it in the overlay registry. Included from this folder's CMakeLists.txt.
add_library(vrx_pages_preview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PreviewRequest.h
  ${CMAKE_CURRENT_LIST_DIR}/PreviewRules.cpp ${CMAKE_CURRENT_LIST_DIR}/PreviewRules.h
  ${CMAKE_CURRENT_LIST_DIR}/JpegFrameEnd.cpp ${CMAKE_CURRENT_LIST_DIR}/JpegFrameEnd.h
  ${CMAKE_CURRENT_LIST_DIR}/PreviewDecode.cpp ${CMAKE_CURRENT_LIST_DIR}/PreviewDecode.h
  ${CMAKE_CURRENT_LIST_DIR}/PreviewJob.cpp ${CMAKE_CURRENT_LIST_DIR}/PreviewJob.h
  ${CMAKE_CURRENT_LIST_DIR}/PreviewPage.cpp ${CMAKE_CURRENT_LIST_DIR}/PreviewPage.h)
find_package(JPEG REQUIRED)
target_link_libraries(vrx_pages_preview PUBLIC vrx_ui vrx_net vrx_platform vrx_steps vrx_i18n Qt6::Widgets PRIVATE JPEG::JPEG)
