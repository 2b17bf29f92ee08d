# SPDX-License-Identifier: GPL-3.0-or-later
# Installation extras a Debian package needs (compressed manual pages and changelog, the copyright
# file) and the CPack DEB configuration. scripts/package builds the release preset and runs it.

set(ORVENA_PACKAGE_MAINTAINER "Orvena STUDIO developers <studio@orvena.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Manual pages and the changelog go in gzipped, without a time stamp (gzip -n) so the package
# is reproducible.
find_program(ORVENA_GZIP gzip REQUIRED)
set(doc_out "${CMAKE_BINARY_DIR}/packaging")
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog.in" "${doc_out}/changelog" @ONLY)
set(compressed)
foreach(source "${PROJECT_SOURCE_DIR}/app/orvena-studio.1" "${PROJECT_SOURCE_DIR}/app/orvena-speak.1"
               "${doc_out}/changelog")
  get_filename_component(name "${source}" NAME)
  add_custom_command(
    OUTPUT "${doc_out}/${name}.gz"
    COMMAND "${ORVENA_GZIP}" -9 -n -c "${source}" > "${doc_out}/${name}.gz"
    DEPENDS "${source}"
    VERBATIM)
  list(APPEND compressed "${doc_out}/${name}.gz")
endforeach()
add_custom_target(orvena_package_docs ALL DEPENDS ${compressed})
install(FILES "${doc_out}/orvena-studio.1.gz" "${doc_out}/orvena-speak.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${doc_out}/changelog.gz" "${PROJECT_SOURCE_DIR}/packaging/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/orvena-studio")

# Everything the install rules take from the build: what scripts/package builds.
add_custom_target(orvena_package_parts)
foreach(part orvena-studio orvena-speak orvena_studio_resources orvena_help_file orvena_package_docs)
  if(TARGET ${part})
    add_dependencies(orvena_package_parts ${part})
  endif()
endforeach()

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "orvena-studio")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Orvena STUDIO developers")
set(CPACK_PACKAGE_CONTACT "${ORVENA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text-to-speech studio for the desktop")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVENA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The summary above is the first line; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvena STUDIO 4 reads text aloud: type or paste it, or open a plain-text,
rich-text, word-processor (.doc, .docx, .odt), PDF or web-page document,
choose one of three voices, set speed and tone, and have it spoken with
pause, resume and stop, or recorded into a wave file.

The package also holds orvena-speak, the same speech engine and document
readers on the command line, for scripts and batch work.")
# The libraries the programs link come from dpkg-shlibdeps, the flite voices among them (each
# voice is a library the engine links). The espeak-ng voices are data it loads at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
# .doc import runs antiword, and catdoc for the short documents antiword refuses.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "antiword, catdoc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
