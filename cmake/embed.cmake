# Turns a file into a C++ source that holds its bytes, so that a program carries the file in
# itself and never looks for it at run time. Run as a script:
#
#   cmake -DINPUT=FILE -DOUTPUT=SOURCE -DNAMESPACE=NS -DFUNCTION=NAME -P embed.cmake
#
# SOURCE defines `std::string_view NS::NAME()`, which gives the bytes of FILE exactly as they
# are: no line end is changed, nothing is added at the end.
foreach(variable INPUT OUTPUT NAMESPACE FUNCTION)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "embed.cmake: ${variable} is not given")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# 0xNN, twenty bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 20 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
file(RELATIVE_PATH shown "${CMAKE_CURRENT_LIST_DIR}/.." "${INPUT}")

# The array ends with one more byte, so that an empty file makes a valid one.
set(text "// Made from ${shown} by cmake/embed.cmake at build time: edit that file, not this one.

#include <cstddef>
#include <string_view>

namespace ${NAMESPACE} {

namespace {
constexpr unsigned char kBytes[] = {
    ${bytes}0x00};
constexpr std::size_t kSize = ${size};
}  // namespace

std::string_view ${FUNCTION}() { return {reinterpret_cast<const char*>(kBytes), kSize}; }

}  // namespace ${NAMESPACE}
")
file(WRITE "${OUTPUT}" "${text}")
