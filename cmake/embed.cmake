# Turns a data file into a C++ source that defines a writable byte array and its length.
#   tavio_embed(<target> <input file> <symbol>)
# defines `unsigned char <symbol>[]` (zero-terminated, so text can be used as a C string)
# and `const unsigned <symbol>_size` (the file's length without the terminator).
set(TAVIO_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file.cmake)

function(tavio_embed target input symbol)
  set(out ${CMAKE_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P ${TAVIO_EMBED_SCRIPT}
    DEPENDS ${input} ${TAVIO_EMBED_SCRIPT}
    COMMENT "Embedding ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
