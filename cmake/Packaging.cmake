# SPDX-License-Identifier: Apache-2.0
# Packages made by CPack from the installation: a .deb on Debian (with its package
# dependencies). Build it with `cpack` in the build folder. (Windows' installer is made by
# scripts/package-windows.)
set(CPACK_PACKAGE_NAME ordano)
set(CPACK_PACKAGE_VENDOR "Ordano")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The lines as Debian shows them, at most 80 columns; an empty line parts the paragraphs.
set(CPACK_PACKAGE_DESCRIPTION [=[
Ordano es el cliente de escritorio de una oficina de agentes aduanales: sube
los archivos del día al servidor de validación por FTP (con TLS si se pide),
consulta sus respuestas, las guarda en las carpetas de recepción de la oficina
y las muestra como informes cuyos errores explica el catálogo local, que el
servidor mantiene al día. Guarda los archivos de pago electrónico tras una
contraseña de pago y muestra el boletín del servidor.

Incluye ordano-cli, la misma labor sin ventana para guiones y tareas
programadas, con una vigilancia desatendida de las carpetas de envío.]=])
set(CPACK_PACKAGE_CONTACT "Ordano <soporte@ordano.invalid>" CACHE STRING
    "Who answers for the package (the .deb's Maintainer)")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Ordano")
set(CPACK_PACKAGE_EXECUTABLES "ordano;Ordano")
set(CPACK_RESOURCE_FILE_README "${CMAKE_SOURCE_DIR}/README.md")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR "DEB" CACHE STRING "CPack generators")

# Debian: the libraries' packages come from the programs themselves (dpkg-shlibdeps); what the
# programs load without linking it is named here: Qt's Spanish texts.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")

include(CPack)
