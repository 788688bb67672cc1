# Runs at install time, before any file is copied: writes KIRIMO_FOLDER_RECORD, the folders this
# install is about to make (those of KIRIMO_INSTALL_FOLDERS and their parents that do not exist
# yet), deepest first, so README's uninstall can remove them again once they are empty and leave
# alone every folder that was there before.
#
# Only a whole install keeps the record, as only it writes install_manifest.txt; the Debian
# package's own installs name their components.
if(CMAKE_INSTALL_COMPONENT)
  return()
endif()

set(made "")
# Installing again finds the folders of the last install present, yet they are no less its own.
if(EXISTS "${KIRIMO_FOLDER_RECORD}")
  file(STRINGS "${KIRIMO_FOLDER_RECORD}" earlier)
  foreach(folder IN LISTS earlier)
    if(IS_DIRECTORY "${folder}")
      list(APPEND made "${folder}")
    endif()
  endforeach()
endif()
foreach(folder IN LISTS KIRIMO_INSTALL_FOLDERS)
  if(NOT IS_ABSOLUTE "${folder}")
    set(folder "${CMAKE_INSTALL_PREFIX}/${folder}")
  endif()
  set(folder "$ENV{DESTDIR}${folder}")
  while(folder AND NOT EXISTS "${folder}")
    list(APPEND made "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()

list(REMOVE_DUPLICATES made)
# A parent's name is the start of its children's, so the reverse order comes to it after them.
list(SORT made ORDER DESCENDING)
list(JOIN made "\n" text)
if(text)
  string(APPEND text "\n")
endif()
file(WRITE "${KIRIMO_FOLDER_RECORD}" "${text}")
