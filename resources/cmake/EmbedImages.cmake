# Writes OUTPUT, a C++ source holding every file of IMAGE_DIR as a byte array
# plus the lookup table declared in EmbeddedFileTable.h.
#   cmake -DIMAGE_DIR=<dir> -DOUTPUT=<file.cpp> -P EmbedImages.cmake
# File names must be <id>.png, <id>.gif or <id>_<pixels>.png (decimal, no
# leading zeros), so that a file dropped into the folder is either embedded
# and findable or stops the build.
cmake_minimum_required(VERSION 3.20)

if(NOT IMAGE_DIR OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedImages.cmake needs -DIMAGE_DIR=... and -DOUTPUT=...")
endif()

file(GLOB names RELATIVE "${IMAGE_DIR}" "${IMAGE_DIR}/*")
list(SORT names)

# Sixteen bytes per line; CMake regexes have no {n} repeat, so spell it out.
string(REPEAT "0x..," 16 line_of_bytes)

set(arrays "")
set(rows "")
set(seen "")
set(index 0)
foreach(name IN LISTS names)
  if(IS_DIRECTORY "${IMAGE_DIR}/${name}")
    message(FATAL_ERROR "EmbedImages: ${IMAGE_DIR}/${name} is a folder; images/ holds files only")
  endif()
  if(name MATCHES "^(0|[1-9][0-9]*)\\.(png|gif)$")
    set(id "${CMAKE_MATCH_1}")
    set(pixels 0)
  elseif(name MATCHES "^(0|[1-9][0-9]*)_([1-9][0-9]*)\\.png$")
    set(id "${CMAKE_MATCH_1}")
    set(pixels "${CMAKE_MATCH_2}")
  else()
    message(FATAL_ERROR "EmbedImages: ${name} is not named <id>.png, <id>.gif or <id>_<pixels>.png")
  endif()
  set(key "${id}_${pixels}")
  if(key IN_LIST seen)
    message(FATAL_ERROR "EmbedImages: ${name} repeats an id already embedded from another file")
  endif()
  list(APPEND seen "${key}")

  file(READ "${IMAGE_DIR}/${name}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  if(hex_length EQUAL 0)
    message(FATAL_ERROR "EmbedImages: ${name} is empty")
  endif()
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${bytes}")
  string(REGEX REPLACE "\n    $" "" bytes "${bytes}")

  string(APPEND arrays "// ${name}\nconst unsigned char kFile${index}[${size}] = {\n    ${bytes}\n};\n\n")
  string(APPEND rows "    {${id}, ${pixels}, kFile${index}, sizeof kFile${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(index EQUAL 0)
  message(FATAL_ERROR "EmbedImages: no images in ${IMAGE_DIR}")
endif()

set(content "// Generated from resources/images by resources/cmake/EmbedImages.cmake. Do not edit.
#include \"EmbeddedFileTable.h\"

namespace vrz::detail {
namespace {

${arrays}}  // namespace

const EmbeddedFile kEmbeddedFiles[] = {
${rows}};

const std::size_t kEmbeddedFileCount = sizeof kEmbeddedFiles / sizeof kEmbeddedFiles[0];

}  // namespace vrz::detail
")

file(WRITE "${OUTPUT}" "${content}")
