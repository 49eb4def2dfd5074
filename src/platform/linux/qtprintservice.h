// The print service on Qt PrintSupport over CUPS, and the two pieces the tests and the
// benchmark use on a printer of their own (a PDF file): the print job and the styled-text printer.
#pragma once

#include "platform/printservice.h"

#include <memory>

class QPainter;
class QPrinter;

namespace platform::linux_x11 {

// A print job on a printer. Its painter begins with the first drawing, so a job with nothing
// drawn sends nothing; destroying the context ends the job.
class QtPageContext : public PageContext {
public:
    explicit QtPageContext(std::shared_ptr<QPrinter> printer);
    ~QtPageContext() override;
    void newPage() override;
    QPrinter &printer() { return *printer_; }
    // nullptr when the job cannot start.
    QPainter *painter();

private:
    std::shared_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    bool failed_ = false;
};

// The styled-text printer lays its copy of the document out this many characters at a time,
// so that memory stays small and coordinates stay far from the layout's fixed-point limit at
// the printer's resolution, however long the document.
inline constexpr int kLayoutWindowChars = 64 * 1024;

std::unique_ptr<StyledTextPrinter> makeStyledTextPrinter(const QTextDocument &document,
                                                         QtPageContext &context, int columnWidth,
                                                         int windowChars = kLayoutWindowChars);

} // namespace platform::linux_x11
