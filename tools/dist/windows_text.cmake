# Copies a text file with Windows line ends, so the install note and the
# panel.cfg fragment read well in any Windows editor. In: INPUT, OUTPUT.
file(READ ${INPUT} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT}.partial "${text}")
file(RENAME ${OUTPUT}.partial ${OUTPUT})
