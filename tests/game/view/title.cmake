wf_add_test(title_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/TitleSequenceTest.cpp
  LIBS wf_view)
wf_add_test(form3_tests LABEL widget
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/Form3Test.cpp
  LIBS wf_view)
