# Makes the release archive of the build tree BUILD and unpacks ARCHIVE into
# a fresh folder DEST, as a host user would: ctest's set-up of the package test.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target package RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "the package could not be made")
endif()
file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ARCHIVE} WORKING_DIRECTORY ${DEST} RESULT_VARIABLE unpacked)
if(NOT unpacked EQUAL 0 OR NOT EXISTS ${DEST}/Flens/FlensEng.hlf)
  message(FATAL_ERROR "${ARCHIVE} did not unpack into ${DEST}/Flens")
endif()
