# synth_bench: start-up time, offline render speed and memory of the synthesizer.
add_executable(synth_bench ${CMAKE_CURRENT_LIST_DIR}/synth_bench.cpp)
target_link_libraries(synth_bench PRIVATE tavio_core)
set_target_properties(synth_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
