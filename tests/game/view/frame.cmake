# Frame composition: the pixels of a frame on synthetic pictures, and that a
# running game's frame allocates nothing.
wf_add_test(frame_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FrameComposerTests.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/FrameAllocationTests.cpp
  LIBS wf_play)
target_include_directories(frame_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../play)
