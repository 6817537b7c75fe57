# The cloud steps: the recorder's cloud state (registration and portal values), sign-in, sign-up, bind and the
# registration written into the recorder; and the rules they share (the e-mail check, the portal values).
target_sources(vrx_steps PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CloudValues.h ${CMAKE_CURRENT_LIST_DIR}/CloudWish.h ${CMAKE_CURRENT_LIST_DIR}/CloudRules.cpp ${CMAKE_CURRENT_LIST_DIR}/CloudRules.h
  ${CMAKE_CURRENT_LIST_DIR}/CloudStatusStep.cpp ${CMAKE_CURRENT_LIST_DIR}/CloudStatusStep.h
  ${CMAKE_CURRENT_LIST_DIR}/CloudAccountSteps.cpp ${CMAKE_CURRENT_LIST_DIR}/CloudAccountSteps.h)
