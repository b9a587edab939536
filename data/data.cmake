# The show's embedded data: each file here becomes a byte array in tavio_core.
# Included from the top-level list, where tavio_core is defined.
tavio_embed(tavio_core ${CMAKE_CURRENT_LIST_DIR}/piisi.txt piisi)

# The figures are modelled as OBJ/MTL text; the model tool (built from the model
# code alone) turns each into a dump, and the dump's bytes are embedded.
function(tavio_model_dump name symbol)
  set(dump ${CMAKE_BINARY_DIR}/models/${name}.dump)
  add_custom_command(
    OUTPUT ${dump}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/models
    COMMAND tavio-model import ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.obj
            --mtl ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.mtl -o ${dump}
    DEPENDS tavio-model ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.obj
            ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.mtl
    COMMENT "Converting ${name}.obj to a model dump"
    VERBATIM)
  tavio_embed(tavio_core ${dump} ${symbol})
endfunction()
tavio_model_dump(walker walkerdata)
tavio_model_dump(serf serfdata)
