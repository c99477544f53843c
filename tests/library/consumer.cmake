# Installs the model into a scratch prefix and builds programs against it as
# its users would: with find_package(VennorMidifile) and with pkg-config. The
# README's example is taken from README.md and built both ways.
# Variables: BUILD_DIR SOURCE_DIR README WORK CXX FLAGS LIBDIR
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_notes file expected)
  run("reading ${file}" ${WORK}/find/consumer notes ${file})
  if(NOT output STREQUAL "${expected}\n")
    message(FATAL_ERROR "${file}: note-ons '${output}', expected '${expected}'")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
foreach(component midifile dev)
  run("install of ${component}" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
      --component ${component})
endforeach()

file(READ ${README} readme)
string(REGEX MATCH "```cpp\n(// transpose\\.cpp[^`]*)```" found "${readme}")
if(NOT found)
  message(FATAL_ERROR "README.md has no ```cpp block starting // transpose.cpp")
endif()
file(WRITE ${WORK}/transpose.cpp "${CMAKE_MATCH_1}")

separate_arguments(flags UNIX_COMMAND "${FLAGS}")
run("configuring with find_package" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/project -B ${WORK}/find
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=${FLAGS}" -DREADME_EXAMPLE=${WORK}/transpose.cpp)
run("building with find_package" ${CMAKE_COMMAND} --build ${WORK}/find)
run("consumer write" ${WORK}/find/consumer write ${WORK}/score.mid)
expect_notes(${WORK}/score.mid "60 64 ")
run("README example" ${WORK}/find/transpose ${WORK}/score.mid ${WORK}/fifth.mid)
expect_notes(${WORK}/fifth.mid "67 71 ")

set(pcenv ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${LIBDIR}/pkgconfig)
run("pkg-config" ${pcenv} pkg-config --cflags --libs "vennormidifile >= 1.0")
separate_arguments(pcflags UNIX_COMMAND "${output}")
run("building with pkg-config" ${CXX} -std=c++17 ${flags} ${WORK}/transpose.cpp ${pcflags}
    -o ${WORK}/pc-transpose)
run("README example from pkg-config" ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${LIBDIR}
    ${WORK}/pc-transpose ${WORK}/fifth.mid ${WORK}/ninth.mid)
expect_notes(${WORK}/ninth.mid "74 78 ")
