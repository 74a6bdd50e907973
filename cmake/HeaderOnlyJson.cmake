# nlohmann/json for the cross builds (Windows, WebAssembly): it is headers only, and its
# package config would add the build machine's /usr/include (glibc's headers), so only its
# own folder is made visible.
include_guard(GLOBAL)
set(json_include ${CMAKE_BINARY_DIR}/third-party/include)
file(MAKE_DIRECTORY ${json_include})
file(CREATE_LINK /usr/include/nlohmann ${json_include}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${json_include}
                                                              INTERFACE_INCLUDE_DIRECTORIES ${json_include})
