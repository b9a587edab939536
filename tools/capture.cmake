# tavio-capture: the show offscreen on a virtual clock, to frames, video and WAV.
tavio_tool(tavio-capture
  ${CMAKE_CURRENT_LIST_DIR}/capture/capture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capture/media.cpp)
