# pellora_library(NAME SOURCES...): the static library of one folder of src/.
#
# Headers are included by their path below src/ ("video/IVideoDriver.h"), but
# no library sees all of src/: each gets an include root of its own in the
# build folder that holds only its folder, and hands it on to the libraries
# that link it. A file can therefore include only the headers of its own
# folder and of the libraries its library links; tools/check_layers.py checks
# that those links follow the layer order and are exactly what is included.
function(pellora_library name)
    add_library(${name} STATIC ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include/${name})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${name} PUBLIC ${root})
endfunction()
