# What the resource script of Launcher.exe takes from the build: the product
# data of res/product_data.cmake, and the games-folder definition written in
# UTF-16 with that data filled in.
include(${CMAKE_SOURCE_DIR}/res/product_data.cmake)

set(generated_res ${CMAKE_BINARY_DIR}/res)

# <Rating> elements, one per line of PRODUCT_RATINGS.
list(LENGTH PRODUCT_RATINGS rating_count)
if(NOT rating_count EQUAL 6)
  message(FATAL_ERROR "res/product_data.cmake: PRODUCT_RATINGS needs six ratings, not ${rating_count}")
endif()
set(rating_elements "")
foreach(rating IN LISTS PRODUCT_RATINGS)
  string(REGEX MATCHALL "{[-0-9A-Fa-f]+}" guids "${rating}")
  list(LENGTH guids guid_count)
  if(guid_count LESS 2 OR guid_count GREATER 5)
    message(FATAL_ERROR "res/product_data.cmake: a rating needs a board, a rating and up to three descriptors: ${rating}")
  endif()
  list(POP_FRONT guids board rating_id)
  set(element "      <Rating ratingSystemID=\"${board}\" ratingID=\"${rating_id}\"")
  if(guids)
    string(APPEND element ">\n")
    foreach(descriptor IN LISTS guids)
      string(APPEND element "        <Descriptor descriptorID=\"${descriptor}\" />\n")
    endforeach()
    string(APPEND element "      </Rating>")
  else()
    string(APPEND element " />")
  endif()
  list(APPEND rating_elements "${element}")
endforeach()
list(JOIN rating_elements "\n" PRODUCT_RATINGS_XML)

# The source stays UTF-8 with LF for review; the games folder gets UTF-16LE
# with a byte-order mark and CR LF.
configure_file(${CMAKE_SOURCE_DIR}/res/gdf/varkold.gdf.xml ${generated_res}/varkold.gdf.utf8.xml @ONLY)
set(gdf_utf16 ${generated_res}/varkold-gdf.utf16.xml)
add_custom_command(OUTPUT ${gdf_utf16}
  COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/utf16_crlf.sh ${generated_res}/varkold.gdf.utf8.xml ${gdf_utf16}
  DEPENDS ${generated_res}/varkold.gdf.utf8.xml ${CMAKE_SOURCE_DIR}/cmake/utf16_crlf.sh
  COMMENT "Writing the games-folder definition in UTF-16"
  VERBATIM)

file(CONFIGURE OUTPUT ${generated_res}/product_data.h
  CONTENT "// Written by the build from res/product_data.cmake.\n#define PRODUCT_LEGAL_NOTICE \"@PRODUCT_LEGAL_NOTICE@\"\n"
  @ONLY)

# The script finds the generated files on its include path. The build cannot
# see the files that the script names, so they are listed here.
target_include_directories(Launcher PRIVATE ${generated_res})
target_sources(Launcher PRIVATE ${gdf_utf16})
file(GLOB language_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/lang/*.rc)
set_source_files_properties(res/launcher.rc PROPERTIES OBJECT_DEPENDS
  "${gdf_utf16};${generated_res}/product_data.h;${language_scripts};${CMAKE_SOURCE_DIR}/res/launcher.manifest;${CMAKE_SOURCE_DIR}/res/art/main_background.bmp;${CMAKE_SOURCE_DIR}/res/art/gamepad_background.bmp;${CMAKE_SOURCE_DIR}/res/art/launcher.ico;${CMAKE_SOURCE_DIR}/res/art/gdf_thumbnail.png")
