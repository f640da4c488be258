# Run by cmake --install once the files are in place: the settings file and the desktop
# entry, which depend on what is already there and on the folder installed into.

get_filename_component(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
# The installed program's own path, as the desktop entry names it; with DESTDIR the files
# are staged elsewhere but will run from the prefix.
get_filename_component(runs_from "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)

# An empty settings file makes the first start ask for the mailbox; one already there
# holds the user's settings and is kept.
if(NOT EXISTS "${folder}/Tessel.dat")
  message(STATUS "Installing: ${folder}/Tessel.dat")
  file(TOUCH "${folder}/Tessel.dat")
else()
  message(STATUS "Keeping: ${folder}/Tessel.dat")
endif()

# Exec takes its argument in double quotes, inside which ", `, $ and \ are escaped with a
# backslash; the value as a whole then doubles every backslash, and % becomes %%.
set(exec "${runs_from}/quillet")
foreach(c "\\" "\"" "`" "$")
  string(REPLACE "${c}" "\\${c}" exec "${exec}")
endforeach()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(icon "${runs_from}/quillet.png")
string(REPLACE "\\" "\\\\" icon "${icon}")

message(STATUS "Installing: ${folder}/quillet.desktop")
file(WRITE "${folder}/quillet.desktop" "[Desktop Entry]
Type=Application
Name=Quillet
Comment=Check your POP3 mailbox for dangerous attachments
Exec=\"${exec}\"
Icon=${icon}
Terminal=false
Categories=Network;Email;
")
