# What OrvaneInstaller.exe carries: the skin archive (ZIPRES 129), the fonts
# archive (ZIPRES 130), the icon (107), the manifest and the version, all
# compiled from resources/OrvaneInstaller.rc. The archives and the icon are
# built here from the sources in resources/ (resources/make_resources.py).
#
# Outputs under ${ORVANE_RESOURCES_DIR}: skin/ (the staged skin folder the
# tests load), skin.7z, fonts/, fonts.7z, orvane.ico.

enable_language(RC)

set(ORVANE_VERSION_MAJOR 1)
set(ORVANE_VERSION_MINOR 0)
set(ORVANE_VERSION_PATCH 0)
set(ORVANE_VERSION_BUILD 0)

find_program(ORVANE_PYTHON3 python3 REQUIRED)
find_program(ORVANE_SEVENZIP 7z REQUIRED)
find_program(ORVANE_RSVG rsvg-convert REQUIRED)
find_program(ORVANE_FONTFORGE fontforge)
if(NOT ORVANE_FONTFORGE)
  message(WARNING "fontforge not found: the fonts archive will hold the TrueType files under their .otf names")
  set(ORVANE_FONTFORGE fontforge-missing)
endif()

set(ORVANE_RESOURCES_DIR ${CMAKE_BINARY_DIR}/resources)
set(res_src ${CMAKE_SOURCE_DIR}/resources)
set(res_out ${ORVANE_RESOURCES_DIR})
set(res_tool ${res_src}/make_resources.py)
set(res_env ${CMAKE_COMMAND} -E env PYTHONDONTWRITEBYTECODE=1 RSVG=${ORVANE_RSVG} SEVENZIP=${ORVANE_SEVENZIP}
            FONTFORGE=${ORVANE_FONTFORGE})

file(GLOB_RECURSE skin_sources CONFIGURE_DEPENDS ${res_src}/skin/* ${res_src}/art/*.py)
add_custom_command(OUTPUT ${res_out}/skin.7z ${res_out}/orvane.ico
  COMMAND ${res_env} ${ORVANE_PYTHON3} ${res_tool} skin ${res_src} ${res_out}/skin ${res_out}/skin.7z
          ${res_out}/orvane.ico
  DEPENDS ${skin_sources} ${res_tool}
  COMMENT "Building the skin archive and the program icon")

# The fonts the language profiles name, from Debian's font packages
# (fonts-noto-core, fonts-roboto-unhinted, fonts-nanum).
set(font_members)
set(font_files)
foreach(pair "NotoSans-Regular.otf|noto|NotoSans-Regular.ttf"
             "Roboto-Regular.otf|roboto/unhinted/RobotoTTF|Roboto-Regular.ttf"
             "NanumGothic.otf|nanum|NanumGothic.ttf")
  string(REPLACE "|" ";" parts "${pair}")
  list(GET parts 0 member)
  list(GET parts 1 folder)
  list(GET parts 2 file)
  string(MAKE_C_IDENTIFIER "ORVANE_FONT_${member}" var)
  find_file(${var} ${file} PATHS /usr/share/fonts/truetype/${folder} /usr/share/fonts/truetype
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${var})
    message(FATAL_ERROR "Font ${file} not found (scripts/setup installs the font packages)")
  endif()
  list(APPEND font_members "${member}=${${var}}")
  list(APPEND font_files ${${var}})
endforeach()
add_custom_command(OUTPUT ${res_out}/fonts.7z
  COMMAND ${res_env} ${ORVANE_PYTHON3} ${res_tool} fonts ${res_out}/fonts ${res_out}/fonts.7z ${font_members}
  DEPENDS ${font_files} ${res_tool}
  COMMENT "Building the fonts archive")

add_custom_target(orvane_resources DEPENDS ${res_out}/skin.7z ${res_out}/fonts.7z ${res_out}/orvane.ico)

set(res_rc ${res_src}/OrvaneInstaller.rc)
target_sources(OrvaneInstaller PRIVATE ${res_rc})
set_source_files_properties(${res_rc} PROPERTIES
  INCLUDE_DIRECTORIES "${res_out};${res_src}"
  COMPILE_DEFINITIONS "ORVANE_VERSION_MAJOR=${ORVANE_VERSION_MAJOR};ORVANE_VERSION_MINOR=${ORVANE_VERSION_MINOR};ORVANE_VERSION_PATCH=${ORVANE_VERSION_PATCH};ORVANE_VERSION_BUILD=${ORVANE_VERSION_BUILD}"
  OBJECT_DEPENDS "${res_out}/skin.7z;${res_out}/fonts.7z;${res_out}/orvane.ico;${res_src}/OrvaneInstaller.manifest")
add_dependencies(OrvaneInstaller orvane_resources)
