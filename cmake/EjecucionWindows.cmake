# What a Windows build of LORUM needs beside its programs to run: Qt's DLLs and the plugins the
# program loads (platform, style, print support), and MinGW's runtime. Copied into the build's bin
# folder when configuring, so that the build-time generators and the tests run there under Wine, and
# listed for the setup program.
get_filename_component(LORUM_QT_RAIZ "${Qt6_DIR}/../../.." ABSOLUTE)
set(LORUM_DLLS_QT Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport)
set(LORUM_DLLS_RUNTIME)
foreach(dll libstdc++-6 libgcc_s_seh-1 libwinpthread-1)
  find_file(LORUM_DLL_${dll} ${dll}.dll
    PATHS /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  list(APPEND LORUM_DLLS_RUNTIME ${LORUM_DLL_${dll}})
endforeach()
set(LORUM_DLLS)
foreach(dll ${LORUM_DLLS_QT})
  list(APPEND LORUM_DLLS ${LORUM_QT_RAIZ}/bin/${dll}.dll)
endforeach()
list(APPEND LORUM_DLLS ${LORUM_DLLS_RUNTIME})
set(LORUM_PLUGINS platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll)
file(COPY ${LORUM_DLLS} ${LORUM_QT_RAIZ}/bin/Qt6Test.dll DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
foreach(p ${LORUM_PLUGINS})
  get_filename_component(carpeta ${p} DIRECTORY)
  file(COPY ${LORUM_QT_RAIZ}/plugins/${p} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${carpeta})
endforeach()
# Qt's own texts in Spanish (text menus, dialogs): the same file on every platform, Debian's.
find_file(LORUM_QT_ESPANOL qtbase_es.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${LORUM_QT_ESPANOL} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations)
