#include "printing/printoutput.h"

#include "platform/services.h"
#include "platform/styledtextfield.h"

void PrintPages(platform::StyledTextField &field, platform::PageContext &context, int w, int h)
{
    auto printer = platform::print().styledTextPrinter(*field.document(), context, w - 48);
    while (!printer->endOfText()) {
        printer->drawBlock(36, 36, h - 48);
        if (!printer->endOfText())
            context.newPage();
        platform::framework().yield();
    }
}

void PrintDirect(platform::StyledTextField &field)
{
    auto context = platform::print().openPrinter();
    if (!context)
        return;
    PrintPages(field, *context, kFixedPageWidth, kFixedPageHeight);
}

void PrintThroughDialogs(platform::StyledTextField &field, platform::PageSetup &setup)
{
    int w = kFixedPageWidth;
    int h = kFixedPageHeight;
    std::unique_ptr<platform::PageContext> context;
    if (platform::print().pageSetupDialog(setup)) {
        w = setup.pageWidth() - 36;
        h = setup.pageHeight() - 36;
        context = platform::print().printDialog(&setup);
    } else {
        context = platform::print().printDialog(nullptr);
    }
    if (!context)
        return;
    PrintPages(field, *context, w, h);
}
