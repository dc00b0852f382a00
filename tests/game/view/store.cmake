# Picture stores and the raster operations on their pictures.
wf_add_test(store_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PictureStoreTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/BlitTest.cpp
  LIBS wf_view)
