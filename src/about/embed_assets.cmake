# Writes a C++ source with one function per asset file returning its bytes.
# -DOUTPUT=<file.cpp> -DENTRIES=<Function=path,Function=path,...>
string(REPLACE "," ";" entries "${ENTRIES}")
set(body "// Generated from assets/ at build time; do not edit.\n")
string(APPEND body "#include \"about/about_assets.h\"\n\nnamespace varnex {\n")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "^([A-Za-z0-9_]+)=(.*)$" _ "${entry}")
  set(function ${CMAKE_MATCH_1})
  file(READ "${CMAKE_MATCH_2}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
  string(APPEND body "\nstd::span<const uint8_t> ${function}() {\n"
         "    static constexpr uint8_t kBytes[] = {\n    ${bytes}};\n"
         "    return kBytes;\n}\n")
endforeach()
string(APPEND body "\n}  // namespace varnex\n")
file(WRITE "${OUTPUT}.tmp" "${body}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
