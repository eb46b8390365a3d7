# Turns a file of the source tree (a Lua chunk, an image) into a C++ source
# defining `const char NAME[]` and `const unsigned NAME_size`, so the binary
# carries it and the file stays an ordinary file people can read and edit.
function(pellora_embed_file target input symbol)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFileRun.cmake
        DEPENDS ${input} ${PROJECT_SOURCE_DIR}/cmake/EmbedFileRun.cmake
        COMMENT "Embedding ${input}")
    target_sources(${target} PRIVATE ${output})
endfunction()
