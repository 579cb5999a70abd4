# Settings of the WebAssembly build (emcmake): the tally library, quorvane-report's formatting,
# the core's tests run under Node, and the page in web/.

# Neither the windows nor the native benchmarks exist here.
set(QUORVANE_GUI OFF)
set(QUORVANE_BENCH OFF)
# Debian's hardening flags are for the native programs.
set(QUORVANE_HARDEN OFF)

# WebAssembly's 128-bit SIMD, which every current browser runs, carries the readers' SSE2 code
# (Emscripten translates its intrinsics): the exact rules count three times as fast as with the
# scalar code, which QUORVANE_SIMD=OFF still builds here too.
if(QUORVANE_SIMD)
    add_compile_options(-msimd128 -msse2)
endif()

# The tallies raise typed errors. WebAssembly's own exceptions cost nothing until one is
# thrown; Emscripten's older JavaScript ones would send every call that may throw, in every
# reading loop, out through a JavaScript trampoline.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

# The core's tests under Node: the real file system, as the native tests see it.
set(QUORVANE_NODE_LINK_OPTIONS -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
# Node 20's own fetch() would make this Emscripten's loader look for the .wasm on the web.
find_program(QUORVANE_NODE_PROGRAM NAMES node nodejs REQUIRED)
set(QUORVANE_NODE ${QUORVANE_NODE_PROGRAM} --no-experimental-fetch)

# JSON for Modern C++ (the tests) and cxxopts (quorvane-report's options) are header-only, but
# their packaged configurations point at /usr/include, whose C library headers must not reach
# this compiler: their own headers alone are offered here, each from a folder of its own.
function(quorvane_shelve_headers package target header)
    find_path(QUORVANE_${package}_INCLUDE ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
    if(NOT QUORVANE_${package}_INCLUDE)
        return()
    endif()
    set(shelf ${CMAKE_BINARY_DIR}/${package})
    file(MAKE_DIRECTORY ${shelf}/include)
    string(REGEX REPLACE "/.*" "" entry ${header})
    file(CREATE_LINK ${QUORVANE_${package}_INCLUDE}/${entry} ${shelf}/include/${entry} SYMBOLIC)
    file(WRITE ${shelf}/${package}Config.cmake
        "add_library(${target} INTERFACE IMPORTED)\n"
        "set_target_properties(${target} PROPERTIES\n"
        "    INTERFACE_INCLUDE_DIRECTORIES ${shelf}/include)\n")
    file(WRITE ${shelf}/${package}ConfigVersion.cmake
        "set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
    set(${package}_DIR ${shelf} CACHE PATH "" FORCE)
endfunction()
quorvane_shelve_headers(nlohmann_json nlohmann_json::nlohmann_json nlohmann/json.hpp)
quorvane_shelve_headers(cxxopts cxxopts::cxxopts cxxopts.hpp)
