wf_add_test(audio_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/AudioTest.cpp
  LIBS wf_view)
