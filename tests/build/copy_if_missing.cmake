# The build ships the initial password file beside the program, but must
# never put it over a password file the user already has.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/shipped" "[Accesso]\r\nValore=SHIPPED\r\n")

file(WRITE "${WORK}/installed" "[Accesso]\r\nValore=USER\r\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${WORK}/shipped -DDST=${WORK}/installed -P ${SCRIPT}
                RESULT_VARIABLE rc)
file(READ "${WORK}/installed" kept)
if(NOT rc EQUAL 0 OR NOT kept MATCHES "USER")
  message(FATAL_ERROR "an existing password file was replaced")
endif()

file(REMOVE "${WORK}/installed")
execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${WORK}/shipped -DDST=${WORK}/installed -P ${SCRIPT}
                RESULT_VARIABLE rc)
file(READ "${WORK}/installed" copied)
if(NOT rc EQUAL 0 OR NOT copied MATCHES "SHIPPED")
  message(FATAL_ERROR "a missing password file was not installed")
endif()
