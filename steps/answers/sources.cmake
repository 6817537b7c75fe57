# The answers group: the road the wizard took, written at FINISH as an answer file vrx-provision reads.
target_sources(vrx_steps PRIVATE ${CMAKE_CURRENT_LIST_DIR}/AnswerFileWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/AnswerFileWriter.h)
