# The Windows installation: everything in one folder, as the installer (packaging/windows/installer.nsi)
# and the portable zip ship it. No windeployqt exists on Debian: the Qt libraries, the plug-ins the
# application loads, Qt's French translations and the compiler's run-time libraries are copied here.
#
#   <prefix>/corvane-key-manager.exe, Help_Viewer.exe, corvane-cli.exe
#   <prefix>/Qt6*.dll, libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll
#   <prefix>/platforms/qwindows.dll, styles/qmodernwindowsstyle.dll, tls/qschannelbackend.dll
#   <prefix>/translations/qt_fr.qm, qtbase_fr.qm; <prefix>/qt.conf
#   <prefix>/Licenses/ (the LGPL text and the copyright file)
foreach(target corvane-key-manager Help_Viewer)
    if(TARGET ${target})
        # A window program: no console opens beside it.
        set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
        install(TARGETS ${target} RUNTIME DESTINATION .)
    endif()
endforeach()
if(TARGET corvane-cli)
    install(TARGETS corvane-cli RUNTIME DESTINATION .)
endif()

get_target_property(CORVANE_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(CORVANE_QT_BIN_DIR ${CORVANE_QT_CORE_DLL} DIRECTORY)
get_filename_component(CORVANE_QT_PREFIX ${CORVANE_QT_BIN_DIR} DIRECTORY)
set(CORVANE_QT_DLLS Qt6Core.dll)
if(CORVANE_BUILD_GUI)
    list(APPEND CORVANE_QT_DLLS Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll)
    install(FILES ${CORVANE_QT_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
    install(FILES ${CORVANE_QT_PREFIX}/plugins/styles/qmodernwindowsstyle.dll DESTINATION styles)
    install(FILES ${CORVANE_QT_PREFIX}/plugins/tls/qschannelbackend.dll DESTINATION tls)
endif()
list(TRANSFORM CORVANE_QT_DLLS PREPEND ${CORVANE_QT_BIN_DIR}/)
install(FILES ${CORVANE_QT_DLLS} DESTINATION .)

# The compiler's run-time libraries, found where the compiler keeps them.
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
        OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
        file(GLOB runtime_path /usr/${CORVANE_MINGW_TRIPLET}/lib/${runtime} /usr/lib/gcc/${CORVANE_MINGW_TRIPLET}/*-posix/${runtime})
        list(GET runtime_path 0 runtime_path)
    endif()
    install(FILES ${runtime_path} DESTINATION .)
endforeach()

# Qt's own French texts (standard buttons and dialogs), from the build machine's Qt of the same version.
foreach(translation qt_fr.qm qtbase_fr.qm)
    if(EXISTS /usr/share/qt6/translations/${translation})
        install(FILES /usr/share/qt6/translations/${translation} DESTINATION translations)
    endif()
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
install(FILES ${CMAKE_BINARY_DIR}/qt.conf DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION Licenses)
