# The core compiled to WebAssembly with Emscripten (the "wasm" preset), its tests run by Node.
# Nothing here applies to the native build.
if(NOT EMSCRIPTEN)
  return()
endif()

if(PATAPATA_BUILD_GUI)
  message(FATAL_ERROR "The WebAssembly build has no Qt: configure it with PATAPATA_BUILD_GUI=OFF")
endif()

# C++ exceptions as Emscripten implements them in JavaScript ("js"): the C++ runtime that
# Debian's Emscripten 3.1.6 ships is built for that model (libc++-except), and this version has
# no runtime built for WebAssembly's own exception handling, which "wasm" (-fwasm-exceptions)
# therefore links with the JavaScript model's runtime: kept only to measure it.
set(PATAPATA_WASM_EXCEPTIONS js CACHE STRING "C++ exceptions in WebAssembly: js or wasm")
set_property(CACHE PATAPATA_WASM_EXCEPTIONS PROPERTY STRINGS js wasm)
if(PATAPATA_WASM_EXCEPTIONS STREQUAL "js")
  add_compile_options(-fexceptions)
  add_link_options(-fexceptions)
elseif(PATAPATA_WASM_EXCEPTIONS STREQUAL "wasm")
  add_compile_options(-fwasm-exceptions)
  add_link_options(-fwasm-exceptions)
else()
  message(FATAL_ERROR "PATAPATA_WASM_EXCEPTIONS is js or wasm, not ${PATAPATA_WASM_EXCEPTIONS}")
endif()
# WebAssembly SIMD, which every current browser and Node run: Highway's vector loops, and the
# compiler's own vectorising elsewhere.
add_compile_options(-msimd128)

# Programs run by Node, reading the real file system (the test data, temporary folders); the
# WebAssembly module is inlined in the .js file, which Node 20's fetch-based loader otherwise
# fails to read from disk. The heap grows on demand, up to the 4 GiB a 32-bit module
# addresses; the exit code of main is the process's.
set(PATAPATA_WASM_NODE_OPTIONS
  -sENVIRONMENT=node -sNODERAWFS=1 -sSINGLE_FILE=1 -sEXIT_RUNTIME=1
  "SHELL:--post-js ${PROJECT_SOURCE_DIR}/cmake/wasm/node_file_times.js")
add_link_options(${PATAPATA_WASM_NODE_OPTIONS} -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB)

# The page's module (src/web) instead runs in the browser: an ES module with embind, its files in
# memory, loaded from beside the page (no inlining), and the runtime kept after main.
function(patapata_wasm_page_options target)
  get_target_property(options ${target} LINK_OPTIONS)
  list(REMOVE_ITEM options ${PATAPATA_WASM_NODE_OPTIONS})
  set_target_properties(${target} PROPERTIES LINK_OPTIONS "${options}" SUFFIX ".mjs")
  target_link_options(${target} PRIVATE
    --bind -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createPatapataModule
    -sFILESYSTEM=1 "-sEXPORTED_RUNTIME_METHODS=['FS']"
    -sINITIAL_MEMORY=32MB
    # embind's bound functions as closures, not code made with new Function for each one, which
    # the browser parses and compiles while the page starts.
    -sDYNAMIC_EXECUTION=0)
endfunction()

include(FetchContent)

# Highway from Debian's headers alone, compiled for its static WebAssembly target: with one
# target there is nothing to dispatch, so no libhwy is linked. Only the hwy folder is put on the
# include path, so that no other native header shadows Emscripten's.
find_path(PATAPATA_HWY_INCLUDE hwy/highway.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH)
if(NOT PATAPATA_HWY_INCLUDE)
  message(FATAL_ERROR "Highway's headers (Debian's libhwy-dev) are missing")
endif()
set(PATAPATA_WASM_HWY_ROOT "${PROJECT_BINARY_DIR}/wasm-include/hwy")
file(MAKE_DIRECTORY "${PATAPATA_WASM_HWY_ROOT}")
file(CREATE_LINK "${PATAPATA_HWY_INCLUDE}/hwy" "${PATAPATA_WASM_HWY_ROOT}/hwy" SYMBOLIC)
# find_package(hwy) then finds the target defined in cmake/wasm/hwy.
FetchContent_Declare(hwy SOURCE_DIR "${PROJECT_SOURCE_DIR}/cmake/wasm/hwy" OVERRIDE_FIND_PACKAGE)
FetchContent_MakeAvailable(hwy)

# nlohmann-json is headers alone too; the same way, its folder and nothing else.
find_path(PATAPATA_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH)
if(NOT PATAPATA_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann-json's headers (Debian's nlohmann-json3-dev) are missing")
endif()
set(PATAPATA_WASM_JSON_ROOT "${PROJECT_BINARY_DIR}/wasm-include/nlohmann_json")
file(MAKE_DIRECTORY "${PATAPATA_WASM_JSON_ROOT}")
file(CREATE_LINK "${PATAPATA_JSON_INCLUDE}/nlohmann" "${PATAPATA_WASM_JSON_ROOT}/nlohmann" SYMBOLIC)
FetchContent_Declare(nlohmann_json SOURCE_DIR "${PROJECT_SOURCE_DIR}/cmake/wasm/nlohmann_json"
                     OVERRIDE_FIND_PACKAGE)
FetchContent_MakeAvailable(nlohmann_json)

# GoogleTest built from the sources of Debian's googletest package, which names its targets
# GTest::gtest and so on; find_package(GTest) then finds them.
if(PATAPATA_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources (Debian's googletest) are missing")
  endif()
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  FetchContent_Declare(GTest SOURCE_DIR /usr/src/googletest OVERRIDE_FIND_PACKAGE)
  FetchContent_MakeAvailable(GTest)
endif()
