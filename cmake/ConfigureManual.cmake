# Puts the synopsis and the command sections made from the command table
# into the manual page: cmake -DIN=page.in -DSYNOPSIS=f -DCOMMANDS=f -DOUT=page -P this.
file(READ ${SYNOPSIS} BATCH_SYNOPSIS)
file(READ ${COMMANDS} BATCH_COMMANDS)
string(STRIP "${BATCH_SYNOPSIS}" BATCH_SYNOPSIS)
string(STRIP "${BATCH_COMMANDS}" BATCH_COMMANDS)
configure_file(${IN} ${OUT} @ONLY)
