# Copies SRC to DST only when DST does not exist yet: a user's password file is
# never replaced by the one the installation ships.
if(NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
