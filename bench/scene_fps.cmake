# Frame rate of a range of the show's beats, rendered offscreen; optional PNG frames.
add_executable(scene_fps ${CMAKE_CURRENT_LIST_DIR}/scene_fps.cpp)
target_link_libraries(scene_fps PRIVATE tavio_core)
set_target_properties(scene_fps PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
