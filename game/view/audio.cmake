target_sources(wf_view PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlAudioDevice.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlAudioDevice.h
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlSound.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/SdlSound.h
  ${CMAKE_CURRENT_SOURCE_DIR}/FluidMusic.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FluidMusic.h)
