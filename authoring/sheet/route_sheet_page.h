#ifndef BINARIO_AUTHORING_SHEET_ROUTE_SHEET_PAGE_H_
#define BINARIO_AUTHORING_SHEET_ROUTE_SHEET_PAGE_H_

// The fixed parts of the route sheet: the drawings' style, the page's style and the page's
// script, which reads the data the sheet embeds (authoring/route_sheet.cpp writes them).

#include <string_view>

namespace binario::authoring {

std::string_view sheet_drawing_style();
std::string_view sheet_page_style();
std::string_view sheet_script();

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_SHEET_ROUTE_SHEET_PAGE_H_
