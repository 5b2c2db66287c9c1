# Each layer of the program is a library with an include root of its own that holds only the
# layer's folder. A file therefore sees the headers of its own layer and of the layers its
# library links, and nothing above them: `#include "window/..."` in the core does not build.
function(patapata_layer_headers target layer)
  set(root "${PROJECT_BINARY_DIR}/include/${layer}")
  file(MAKE_DIRECTORY "${root}")
  file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${layer}" "${root}/${layer}" SYMBOLIC)
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
