# The camera steps: the recorder's camera list, a camera's password checked or set, the update that adds and
# removes cameras, one preview picture fetched; and the rules they share (the camera record and its lines).
target_sources(vrx_steps PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CameraRecord.h
  ${CMAKE_CURRENT_LIST_DIR}/CameraCount.h ${CMAKE_CURRENT_LIST_DIR}/CameraRules.cpp ${CMAKE_CURRENT_LIST_DIR}/CameraRules.h
  ${CMAKE_CURRENT_LIST_DIR}/CameraListStep.cpp ${CMAKE_CURRENT_LIST_DIR}/CameraListStep.h
  ${CMAKE_CURRENT_LIST_DIR}/CameraPasswordStep.cpp ${CMAKE_CURRENT_LIST_DIR}/CameraPasswordStep.h
  ${CMAKE_CURRENT_LIST_DIR}/CameraUpdateStep.cpp ${CMAKE_CURRENT_LIST_DIR}/CameraUpdateStep.h
  ${CMAKE_CURRENT_LIST_DIR}/PreviewFetchStep.cpp ${CMAKE_CURRENT_LIST_DIR}/PreviewFetchStep.h)
