# Headers and resources made at configure time from files of the source tree,
# in CORVANE_GENERATED_DIR (res/Version.h, res/Licence.h, res/corvane.manifest).
#   corvane_version_resource(TARGET DESCRIPTION)  gives a Windows program its
#   version resource: the properties Explorer shows for the file.
set(CORVANE_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")

# Each of the four numbers is a 16-bit field of the version resource.
set(CORVANE_VERSION_NUMBERS "")
foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} GREATER 65535)
    message(FATAL_ERROR "VERSION: ${PROJECT_VERSION_${part}} is more than a version field holds (65535)")
  endif()
  list(APPEND CORVANE_VERSION_NUMBERS ${PROJECT_VERSION_${part}})
endforeach()
list(JOIN CORVANE_VERSION_NUMBERS ", " CORVANE_VERSION_NUMBERS)
configure_file("${PROJECT_SOURCE_DIR}/res/Version.h.in" "${CORVANE_GENERATED_DIR}/res/Version.h" @ONLY)

# The licence agreement as one C string, its paragraphs joined by CR LF as the
# About box's edit control shows them. The file is plain ASCII.
file(READ "${PROJECT_SOURCE_DIR}/LICENCE.txt" licence)
string(REGEX REPLACE "\r" "" licence "${licence}")
string(REGEX REPLACE "\n+$" "" licence "${licence}")
string(REPLACE "\\" "\\\\" licence "${licence}")
string(REPLACE "\"" "\\\"" licence "${licence}")
string(REPLACE "\n" "\\r\\n\" \\\n    \"" CORVANE_LICENCE_LINES "${licence}")
configure_file("${PROJECT_SOURCE_DIR}/res/Licence.h.in" "${CORVANE_GENERATED_DIR}/res/Licence.h" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENCE.txt")

if(WIN32)
  configure_file("${PROJECT_SOURCE_DIR}/res/corvane.manifest.in" "${CORVANE_GENERATED_DIR}/res/corvane.manifest"
                 @ONLY)
endif()

function(corvane_version_resource target description)
  set(CORVANE_PROGRAM "${target}")
  set(CORVANE_FILE_DESCRIPTION "${description}")
  configure_file("${PROJECT_SOURCE_DIR}/res/version.rc.in" "${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc" @ONLY)
  target_sources(${target} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc")
endfunction()

# corvane_tool_resources(TARGET DESCRIPTION)  gives a command-line program its
# version resource and its manifest (res/tool.manifest.in: asInvoker, so that
# Windows does not virtualize its view of files and registry).
function(corvane_tool_resources target description)
  corvane_version_resource(${target} "${description}")
  set(CORVANE_PROGRAM "${target}")
  set(CORVANE_FILE_DESCRIPTION "${description}")
  set(manifest "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  configure_file("${PROJECT_SOURCE_DIR}/res/tool.manifest.in" "${manifest}" @ONLY)
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc.new" "1 24 \"${manifest}\"\n")
  configure_file("${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc.new"
                 "${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc" COPYONLY)
  set_source_files_properties("${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc" PROPERTIES
                              OBJECT_DEPENDS "${manifest}")
  target_sources(${target} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc")
endfunction()
