# Cost of brick text drawn every frame (see bench/write_string.cpp).
add_executable(bench_write_string ${CMAKE_CURRENT_LIST_DIR}/write_string.cpp)
target_link_libraries(bench_write_string PRIVATE tavio_core)
set_target_properties(bench_write_string PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
