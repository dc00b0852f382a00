target_sources(wf_view PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/TitleSequence.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Form3.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Form3.h)
