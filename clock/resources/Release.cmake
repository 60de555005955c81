# What ships beside the programs, and the release package. Included from
# this folder's CMakeLists.txt, which only Windows builds read.

# ReadMe.txt is written as UTF-8 and shipped in code page 932 with CR LF.
set(readme_file ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ReadMe.txt)
add_custom_command(OUTPUT ${readme_file}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/text_cp932.py
    ${CMAKE_CURRENT_SOURCE_DIR}/ReadMe.txt.in ${readme_file}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/text_cp932.py ${CMAKE_CURRENT_SOURCE_DIR}/ReadMe.txt.in
  COMMENT "Writing ReadMe.txt in code page 932"
  VERBATIM)
add_custom_target(velmora_readme ALL DEPENDS ${readme_file})

# dist/ holds one zip: Velmora/ with the program and its two text files,
# kestrun/ with the wrapper. Part of every 32-bit build; a 64-bit build
# makes it on request only, since what ships is 32-bit.
set(package_stage ${CMAKE_BINARY_DIR}/package)
set(package_zip ${CMAKE_BINARY_DIR}/dist/Velmora-${PROJECT_VERSION}.zip)
add_custom_command(OUTPUT ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_stage}/Velmora ${package_stage}/kestrun
    ${CMAKE_BINARY_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velmora>
    ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ServerList.txt ${readme_file} ${package_stage}/Velmora
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kestrun> ${package_stage}/kestrun
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${package_stage}
    ${CMAKE_COMMAND} -E tar cf ${package_zip} --format=zip Velmora kestrun
  DEPENDS Velmora kestrun ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ServerList.txt ${readme_file}
  COMMENT "Packing ${package_zip}"
  VERBATIM)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_target(package ALL DEPENDS ${package_zip})
else()
  add_custom_target(package DEPENDS ${package_zip})
endif()
add_dependencies(package velmora_server_list)
