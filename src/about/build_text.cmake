# Writes BuildText(): the project version, plus the short commit when the
# source is a git checkout, and the licence (Qt Charts is GPL 3 only, so the
# whole program is GPL 3 or later). Rewritten only when the text changes.
# -DOUTPUT=<file.cpp> -DVERSION=<x.y.z> -DSOURCE_DIR=<repository>
set(text "${VERSION}")
find_program(GIT git)
if(GIT)
  execute_process(COMMAND ${GIT} -C "${SOURCE_DIR}" rev-parse --short=7 HEAD
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND commit)
    set(text "${VERSION}-${commit}")
  endif()
endif()
string(APPEND text "  GPL-3.0-or-later")
file(WRITE "${OUTPUT}.tmp"
     "// Generated at build time; do not edit.\n"
     "#include \"about/about_assets.h\"\n\n"
     "std::string_view varnex::BuildText() { return \"${text}\"; }\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
