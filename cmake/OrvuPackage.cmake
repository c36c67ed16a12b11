# What ships, and the two release packages made from it by CPack
# (scripts/package.sh): a portable zip with one folder "Ohmwatch/", and a
# per-user installer made with NSIS (cmake/nsis/NSIS.template.in).

# The folder as a user gets it: the program, the engine, the compiler
# runtime, the plugins, the alert picture, the sample settings and two texts.
# The texts and the settings get Windows line ends, for Notepad.
install(TARGETS Ohmwatch OrvuEngine RUNTIME DESTINATION .)
foreach(runtime_dll ${ORVU_RUNTIME_DLLS})
    install(FILES ${ORVU_OUTPUT_DIR}/${runtime_dll} DESTINATION .)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/apps/Ohmwatch/art/power-disconnected.png DESTINATION .)
set(ORVU_PACKAGE_TEXT_DIR ${CMAKE_BINARY_DIR}/package-texts)
configure_file(${CMAKE_SOURCE_DIR}/apps/Ohmwatch/Ohmwatch.ini
               ${ORVU_PACKAGE_TEXT_DIR}/Ohmwatch.ini @ONLY NEWLINE_STYLE WIN32)
configure_file(${CMAKE_SOURCE_DIR}/apps/Ohmwatch/README.txt
               ${ORVU_PACKAGE_TEXT_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE
               ${ORVU_PACKAGE_TEXT_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE WIN32)
install(FILES ${ORVU_PACKAGE_TEXT_DIR}/Ohmwatch.ini ${ORVU_PACKAGE_TEXT_DIR}/README.txt
              ${ORVU_PACKAGE_TEXT_DIR}/LICENSE.txt
        DESTINATION .)

set(CPACK_PACKAGE_NAME Ohmwatch)
set(CPACK_PACKAGE_VENDOR "The Ohmwatch developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Battery and power monitor for the notification area")
set(CPACK_RESOURCE_FILE_LICENSE ${ORVU_PACKAGE_TEXT_DIR}/LICENSE.txt)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
# File names and the zip's top folder differ per generator.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/OrvuPackageGenerators.cmake)
# Our own installer script: the stock one installs for all users, as
# administrator, into Program Files.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
set(CPACK_OHMWATCH_NAMES ${OHMWATCH_INSTALLER_NAMES})
set(CPACK_OHMWATCH_ICON ${CMAKE_SOURCE_DIR}/apps/Ohmwatch/art/icons/ohmwatch-101.ico)
set(CPACK_OHMWATCH_VERSION_QUAD ${OHMWATCH_VERSION_QUAD})
include(CPack)
