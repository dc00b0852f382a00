# Frame composition: the pixels of a frame on synthetic pictures.
wf_add_test(frame_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FrameComposerTests.cpp
  LIBS wf_play)
target_include_directories(frame_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../play)
