# Writes the panel.cfg fragment of the package: the built-in panel layout
# (every gauge of both modules) in the simulator's panel configuration
# syntax. The layout's windows keep their design size (size_mm), colour,
# ident and gauge lines; where a window stands on the screen is the
# installer's choice, so the preview screen positions are left out.
# In: SOURCE (flight/default_panel.cpp), OUTPUT.
file(READ ${SOURCE} source)
string(FIND "${source}" "kDefaultPanelLayout = R\"(" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${SOURCE}: no built-in panel layout found")
endif()
string(SUBSTRING "${source}" ${start} -1 source)
string(FIND "${source}" "R\"(" open)
math(EXPR open "${open} + 3")
string(SUBSTRING "${source}" ${open} -1 source)
string(FIND "${source}" ")\";" close)
if(close EQUAL -1)
  message(FATAL_ERROR "${SOURCE}: the built-in panel layout is not closed")
endif()
string(SUBSTRING "${source}" 0 ${close} layout)

set(fragment "; Morvane twin: the panel windows and the placement of every gauge of\n")
string(APPEND fragment "; Morvane_Instr.gau and Telvor_Flaps.gau. Merge into the aircraft's\n")
string(APPEND fragment "; panel.cfg (see INSTALL.txt): renumber the windows to follow the\n")
string(APPEND fragment "; aircraft's own, keep the idents.\n")
# Line by line, on the whole text (the layout's comment lines begin with
# ';', which a CMake list would split on).
set(layout "\n${layout}")
string(REGEX REPLACE "\nposition=[^\n]*" "" layout "${layout}")
string(REGEX REPLACE "\nsize=" "\nsize_mm=" layout "${layout}")
string(SUBSTRING "${layout}" 1 -1 layout)
string(APPEND fragment "${layout}")
string(REPLACE "\n" "\r\n" fragment "${fragment}")  # Windows line ends
file(WRITE ${OUTPUT}.partial "${fragment}")
file(RENAME ${OUTPUT}.partial ${OUTPUT})
