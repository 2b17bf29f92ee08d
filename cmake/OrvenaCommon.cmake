# SPDX-License-Identifier: GPL-3.0-or-later
# Settings every target of the project shares: warnings, sanitizers, include root.

add_library(orvena_build_flags INTERFACE)
target_compile_options(orvena_build_flags INTERFACE -Wall -Wextra -Wpedantic)
target_include_directories(orvena_build_flags INTERFACE "${PROJECT_SOURCE_DIR}")
target_compile_definitions(orvena_build_flags INTERFACE
  QT_NO_KEYWORDS_FOR_SIGNALS_ONLY
  ORVENA_VERSION="${PROJECT_VERSION}")
if(ORVENA_SANITIZE)
  target_compile_options(orvena_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(orvena_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# orvena_strict_qt_strings(TARGET): Qt's strict string and connection checks, as KDE builds
# with: no implicit conversion from 8-bit strings, no narrowing conversions between signal and
# slot arguments, and QStringBuilder for string concatenation. Applied library by library to
# the sources of that library.
function(orvena_strict_qt_strings name)
  target_compile_definitions(${name} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_USE_QSTRINGBUILDER)
endfunction()

# orvena_add_library(NAME SOURCES... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(orvena_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC orvena_build_flags ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
