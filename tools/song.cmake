# tavio-song: checks, describes and renders song files (or the embedded song) to WAV.
tavio_tool(tavio-song ${CMAKE_CURRENT_LIST_DIR}/tavio-song.cpp)
