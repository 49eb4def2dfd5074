// The print service: printers with and without dialogs, page setups, and a printer that
// draws a styled document block by block. Sizes are points.
#pragma once

#include <memory>

class QTextDocument;

namespace platform {

// An open print job; destroying it ends the job.
class PageContext {
public:
    virtual ~PageContext() = default;
    virtual void newPage() = 0;
};

class PageSetup {
public:
    virtual ~PageSetup() = default;
    virtual int pageWidth() = 0;
    virtual int pageHeight() = 0;
};

class StyledTextPrinter {
public:
    virtual ~StyledTextPrinter() = default;
    virtual bool endOfText() = 0;
    // Draws the next lines that fit into height at (x, y) and moves past them.
    virtual void drawBlock(int x, int y, int height) = 0;
};

class PrintService {
public:
    virtual ~PrintService() = default;
    // No dialog; nullptr when no printer can be opened.
    virtual std::unique_ptr<PageContext> openPrinter() = 0;
    virtual std::unique_ptr<PageSetup> newPageSetup() = 0;
    // Modal; true when the user accepts.
    virtual bool pageSetupDialog(PageSetup &setup) = 0;
    // Modal; nullptr when the user cancels. setup may be null.
    virtual std::unique_ptr<PageContext> printDialog(PageSetup *setup) = 0;
    virtual std::unique_ptr<StyledTextPrinter> styledTextPrinter(const QTextDocument &document,
                                                                 PageContext &context,
                                                                 int columnWidth) = 0;
};

} // namespace platform
