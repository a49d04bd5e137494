// The drawing routines of the string family, kept apart so that programs which only handle texts
// do not need the graphics layer.
#include <string>

#include "WBRVLib/Strings.h"
#include "WBRVLib/ToolkitLink.h"

namespace {
void drawAligned(INTEGER justification, REAL x, REAL y, std::string_view text, INTEGER n)
{
    const std::size_t count = n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), text.size());
    IGrTextAlign(justification);
    IGrTextDraw(x, y, text.substr(0, count));
}
}  // namespace

void CENTSTRING(REAL x, REAL y, std::string_view text, INTEGER n) { drawAligned(1, x, y, text, n); }
void RIGHTSTRING(REAL x, REAL y, std::string_view text, INTEGER n) { drawAligned(2, x, y, text, n); }
void LEFTSTRING(REAL x, REAL y, std::string_view text, INTEGER n) { drawAligned(0, x, y, text, n); }
