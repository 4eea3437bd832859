#ifndef BINARIO_AUTHORING_SHEET_ASSETS_H_
#define BINARIO_AUTHORING_SHEET_ASSETS_H_

// The fixed parts of the route sheet, each a file of this folder that the build embeds in the
// program: the drawings' style (drawing.css), the page's style (page.css) and the page's script
// (sheet.js), which reads the data the page embeds (page.cpp writes them).

#include <string_view>

namespace binario::authoring {

std::string_view sheet_drawing_style();
std::string_view sheet_page_style();
std::string_view sheet_script();

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_SHEET_ASSETS_H_
