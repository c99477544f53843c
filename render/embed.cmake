# Writes OUTPUT, a C++ source in namespace page that holds text files as
# string constants: ITEMS is a list of NAME=FILE. Run at build time
# (render/CMakeLists.txt), so that the page's script and style stay files of
# their own, checked and edited as what they are.
set(content "// Made at build time by render/embed.cmake; edit the files it names.\nnamespace page {\n")
foreach(item ${ITEMS})
  string(REPLACE "=" ";" parts "${item}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" text)
  string(FIND "${text}" ")embedded\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${path} holds the raw string's closing sequence")
  endif()
  get_filename_component(base "${path}" NAME)
  string(APPEND content "\n// ${base}\nextern const char* const ${name};\n"
         "const char* const ${name} = R\"embedded(${text})embedded\";\n")
endforeach()
string(APPEND content "\n} // namespace page\n")
file(WRITE "${OUTPUT}.new" "${content}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
