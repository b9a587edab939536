# The live show's frame counter (preloaded; see bench/window_fps).
add_library(frame_counter SHARED ${CMAKE_CURRENT_LIST_DIR}/frame_counter.c)
target_link_libraries(frame_counter PRIVATE dl)
set_target_properties(frame_counter PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
