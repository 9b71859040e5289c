# The release: one folder, Flens, to unpack into the host's plug-in folder:
# the library, the plug-in, its description, language and help files, a
# readme and the licence (tessel beside them in the native build).
# `cmake --build --preset win32 --target package` makes
# Flens-<version>-win32.zip; the native build makes Flens-<version>-linux.tar.gz.
set(TESSEL_PACKAGE_FOLDER Flens)
install(TARGETS Dialog Flens LIBRARY DESTINATION ${TESSEL_PACKAGE_FOLDER} RUNTIME DESTINATION ${TESSEL_PACKAGE_FOLDER})
install(FILES
  ${PROJECT_SOURCE_DIR}/viewer/FL_main.dlg
  ${PROJECT_SOURCE_DIR}/viewer/FlensEng.lng
  ${PROJECT_SOURCE_DIR}/viewer/FlensEng.hlf
  ${PROJECT_SOURCE_DIR}/packaging/readme.txt
  ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${TESSEL_PACKAGE_FOLDER})
if(TARGET tessel)
  install(TARGETS tessel RUNTIME DESTINATION ${TESSEL_PACKAGE_FOLDER})
endif()

set(CPACK_PACKAGE_NAME Flens)
set(CPACK_PACKAGE_VERSION ${TESSEL_VERSION_TEXT})
set(CPACK_PACKAGE_VENDOR "The Tessel developers")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "Flens-${TESSEL_VERSION_TEXT}-win32")
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME "Flens-${TESSEL_VERSION_TEXT}-linux")
endif()
if(WIN32)
  set(TESSEL_PACKAGE_FILE ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
else()
  set(TESSEL_PACKAGE_FILE ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.tar.gz)
endif()
include(CPack)
