# tavio-model: OBJ/MTL import, dump export and model listings. It links only the
# model code, because the show's library embeds the dumps that this tool makes.
add_executable(tavio-model ${CMAKE_CURRENT_LIST_DIR}/tavio-model.cpp)
target_link_libraries(tavio-model PRIVATE tavio_modelio)
set_target_properties(tavio-model PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
install(TARGETS tavio-model RUNTIME DESTINATION bin)

# The generator of the figures' OBJ/MTL sources in data/ (run by hand: make-figures data).
add_executable(make-figures ${CMAKE_CURRENT_LIST_DIR}/make-figures.cpp)
set_target_properties(make-figures PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
