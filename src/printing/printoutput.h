// Printing the document field: the page loop, at once on the fixed page, or through the
// Page Setup and Print dialogs.
#pragma once

namespace platform {
class PageContext;
class PageSetup;
class StyledTextField;
} // namespace platform

inline constexpr int kFixedPageWidth = 540;
inline constexpr int kFixedPageHeight = 720;

void PrintPages(platform::StyledTextField &field, platform::PageContext &context, int w, int h);
void PrintDirect(platform::StyledTextField &field);
void PrintThroughDialogs(platform::StyledTextField &field, platform::PageSetup &setup);
