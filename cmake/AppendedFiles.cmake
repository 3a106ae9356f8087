# Catalogues compiled from locale/<language>.po, and files appended to
# executables so that they travel inside them.
include_guard(GLOBAL)

find_program(SKERROW_MSGFMT msgfmt REQUIRED)

# The build tool that appends the files; it runs on the build machine.
add_executable(skerrow_append_tool ${PROJECT_SOURCE_DIR}/tools/AppendFiles.cpp)
set_target_properties(skerrow_append_tool PROPERTIES OUTPUT_NAME append-files)

# The languages whose catalogues travel inside the program (locale/<language>.po).
set(SKERROW_LANGUAGES es CACHE INTERNAL "")

# skerrow_catalogue(<language>)
# Compiles locale/<language>.po into <build>/locale/<language>/LC_MESSAGES/default.mo
# (target skerrow_catalogue_<language>); msgfmt refuses a broken .po.
function(skerrow_catalogue language)
  set(po ${PROJECT_SOURCE_DIR}/locale/${language}.po)
  set(mo ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES/default.mo)
  add_custom_command(OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES
    COMMAND ${SKERROW_MSGFMT} --check-format --check-domain -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Compiling the ${language} catalogue")
  add_custom_target(skerrow_catalogue_${language} DEPENDS ${mo})
endfunction()

foreach(language IN LISTS SKERROW_LANGUAGES)
  skerrow_catalogue(${language})
endforeach()

# skerrow_append_files(<target> NAME FILE [NAME FILE ...])
# After every link of <target>, appends each FILE under NAME (a path relative
# to the executable's folder, with backslashes). The target is linked again
# whenever one of the files changes.
function(skerrow_append_files target)
  set(arguments)
  set(files)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  if(count EQUAL 0)
    message(FATAL_ERROR "skerrow_append_files(${target}): no files given")
  endif()
  math(EXPR last "${count} - 1")
  foreach(index RANGE 0 ${last} 2)
    math(EXPR next "${index} + 1")
    list(GET pairs ${index} name)
    list(GET pairs ${next} file)
    list(APPEND arguments "${name}=${file}")
    list(APPEND files ${file})
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND skerrow_append_tool $<TARGET_FILE:${target}> ${arguments}
    VERBATIM)
  add_dependencies(${target} skerrow_append_tool)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${files})
endfunction()

# skerrow_append_catalogues(<target>)
# Appends every catalogue as LOCALE\<LANGUAGE>\LC_MESSAGES\default.mo.
function(skerrow_append_catalogues target)
  set(pairs)
  foreach(language IN LISTS SKERROW_LANGUAGES)
    string(TOUPPER ${language} folder)
    list(APPEND pairs "LOCALE\\${folder}\\LC_MESSAGES\\default.mo"
      ${PROJECT_BINARY_DIR}/locale/${language}/LC_MESSAGES/default.mo)
    add_dependencies(${target} skerrow_catalogue_${language})
  endforeach()
  skerrow_append_files(${target} ${pairs})
endfunction()
