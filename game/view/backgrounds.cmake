target_sources(wf_view PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Backgrounds.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Backgrounds.h)
