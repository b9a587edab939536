# The show's embedded data: each file here becomes a byte array in tavio_core.
# Included from the top-level list, where tavio_core is defined.
tavio_embed(tavio_core ${CMAKE_CURRENT_LIST_DIR}/piisi.txt piisi)
