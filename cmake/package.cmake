# The release: one folder, Flens, to unpack into the host's plug-in folder:
# the library, the plug-in, its description, language and help files, a
# readme and the licence (tessel beside them in the native build); the
# Windows build adds tools/, tessel.exe and the editor set-ups.
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
if(TARGET tessel AND NOT WIN32)
  install(TARGETS tessel RUNTIME DESTINATION ${TESSEL_PACKAGE_FOLDER})
elseif(TARGET tessel)
  # tools/: tessel.exe with the library and the plug-in it loads from its own
  # folder, and the editor set-ups, for plug-in authors on Windows.
  install(TARGETS tessel Dialog Flens LIBRARY DESTINATION tools RUNTIME DESTINATION tools)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tools-readme.txt DESTINATION tools RENAME readme.txt)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/editors/ DESTINATION tools/editors
          PATTERN vscode EXCLUDE) # the extension goes as its .vsix
  file(GLOB TESSEL_VSIX ${CMAKE_BINARY_DIR}/../vscode/*.vsix ${PROJECT_SOURCE_DIR}/build/vscode/*.vsix)
  if(TESSEL_VSIX)
    install(FILES ${TESSEL_VSIX} DESTINATION tools/editors)
  endif()
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
