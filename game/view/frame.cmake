# Frame composition of a running game.
target_sources(wf_view PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/FrameComposer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FrameComposer.h)
