wf_add_test(backgrounds_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/BackgroundsTest.cpp
  LIBS wf_view wfplatform)
