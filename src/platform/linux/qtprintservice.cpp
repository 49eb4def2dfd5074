// The print service on Qt PrintSupport over CUPS: printers on the CUPS default destination,
// the Page Setup and Print dialogs, and a styled-text printer that draws a document's lines
// block by block at the printer's resolution.
#include "platform/linux/qtprintservice.h"

#include "platform/linux/linuxplatform.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>

#include <chrono>
#include <condition_variable>
#include <dlfcn.h>
#include <mutex>
#include <optional>
#include <thread>

namespace platform::linux_x11 {

// ---------------------------------------------------------------------------------------------
// The print job

QtPageContext::QtPageContext(std::shared_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

QtPageContext::~QtPageContext()
{
    if (painter_ && painter_->isActive())
        painter_->end(); // sends the job
}

QPainter *QtPageContext::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        failed_ = !painter_->begin(printer_.get());
    }
    return failed_ ? nullptr : painter_.get();
}

void QtPageContext::newPage()
{
    if (painter())
        printer_->newPage();
}

// ---------------------------------------------------------------------------------------------
// The styled-text printer

namespace {

// A window ends at the paragraph that starts this far down, in device pixels: the layout's
// fixed-point coordinates end at 2^25, and a window of many empty lines in a large size
// could otherwise reach that.
constexpr qreal kWindowHeightPx = 1 << 24;

// Walks a copy of the document line by line. The copy is laid out for the printer one window
// of text at a time. A paragraph too long for a window is cut; the window then keeps its last
// line back, because that line may break differently once the rest of the paragraph follows,
// and the next window starts with it. Lines before it break exactly as in a layout of the
// whole paragraph.
class QtStyledTextPrinter : public StyledTextPrinter {
public:
    QtStyledTextPrinter(const QTextDocument &document, QtPageContext &context, int columnWidth,
                        int windowChars)
        : context_(context), source_(document.clone()), windowChars_(qMax(1, windowChars))
    {
        QPrinter &device = context.printer();
        pxPerPointX_ = device.logicalDpiX() / 72.0;
        pxPerPointY_ = device.logicalDpiY() / 72.0;
        columnPx_ = qMax(1.0, columnWidth * pxPerPointX_);
        end_ = source_->characterCount() - 1; // the final paragraph separator is no text
        if (end_ > 0)
            loadWindow(0);
    }

    bool endOfText() override { return !window_; }

    void drawBlock(int x, int y, int height) override
    {
        if (!window_)
            return;
        QPainter *painter = context_.painter();
        const qreal xPx = x * pxPerPointX_;
        const qreal yPx = y * pxPerPointY_;
        const qreal heightPx = height * pxPerPointY_;
        if (painter) {
            painter->save();
            painter->setClipRect(QRectF(xPx, yPx, columnPx_, heightPx));
            painter->setPen(Qt::black); // text with no colour of its own
        }
        qreal used = 0; // pixels from the block's top
        bool full = false;
        while (window_ && !full) {
            const qreal top = lineTop();
            qreal bottom = top;
            while (!windowDone()) {
                const QTextLine l = line();
                const qreal lineY = lineTop();
                const qreal lineBottom = lineY + l.height();
                // Whole lines only; but a block always takes its first line, however tall,
                // so that every block moves on.
                if ((used > 0 || bottom > top) && used + (lineBottom - top) > heightPx + 0.01) {
                    full = true;
                    break;
                }
                // Line by line: QTextLayout::draw also draws the line just above its clip,
                // which the painter hides on paper but which stays in a PDF's text.
                if (painter)
                    l.draw(painter,
                           QPointF(xPx + blockRect_.left(), yPx + used + (lineY - top) - l.y()));
                bottom = lineBottom;
                nextLine();
            }
            used += bottom - top;
            if (windowDone())
                nextWindow();
        }
        if (painter)
            painter->restore();
    }

private:
    QTextLine line() const { return block_.layout()->lineAt(line_); }
    qreal lineTop() const { return blockRect_.top() + line().y(); }

    bool windowDone() const
    {
        return !block_.isValid() || block_ == stopBlock_ || (heldBack_ && line_ == heldLine_);
    }

    // Moves to block, or the first block after it that has lines, laying it out.
    void enterBlock(QTextBlock block)
    {
        for (; block.isValid(); block = block.next()) {
            blockRect_ = window_->documentLayout()->blockBoundingRect(block);
            if (block.layout()->lineCount() > 0)
                break;
        }
        block_ = block;
        line_ = 0;
        if (block_.isValid() && block_ != window_->begin() && blockRect_.top() > kWindowHeightPx)
            stopBlock_ = block_;
    }

    void nextLine()
    {
        if (++line_ >= block_.layout()->lineCount())
            enterBlock(block_.next());
    }

    void nextWindow()
    {
        int next = nextStart_;
        if (heldBack_)
            next = windowStart_ + block_.position() + line().textStart();
        else if (stopBlock_.isValid())
            next = windowStart_ + stopBlock_.position();
        window_.reset();
        if (next < end_)
            loadWindow(next);
    }

    // Lays out source_'s text from start, a paragraph's start or a line's start within one.
    void loadWindow(int start)
    {
        const QTextBlock first = source_->findBlock(start);
        // Whole paragraphs up to the window's size...
        QTextBlock last = first;
        int stop = last.position() + last.length() - 1;
        while (stop - start < windowChars_ && last.next().isValid()) {
            last = last.next();
            stop = last.position() + last.length() - 1;
        }
        // ... unless the last is much longer: the window ends before it, or, when it is the
        // first, cuts it.
        bool cut = false;
        if (stop - start > 2 * windowChars_) {
            const QTextBlock at = source_->findBlock(start + windowChars_);
            if (at.position() > start) {
                stop = at.position() - 1;
            } else {
                stop = start + windowChars_;
                if (source_->characterAt(stop).isLowSurrogate())
                    ++stop;
                cut = true;
            }
        }

        auto window = std::make_unique<QTextDocument>();
        window->setDefaultFont(source_->defaultFont());
        window->setDefaultTextOption(source_->defaultTextOption());
        window->setIndentWidth(source_->indentWidth());
        window->setDocumentMargin(0);
        window->setUndoRedoEnabled(false);
        QTextCursor from(source_.get());
        from.setPosition(start);
        from.setPosition(stop, QTextCursor::KeepAnchor);
        QTextCursor into(window.get());
        // A window that starts inside a paragraph keeps that paragraph's format.
        into.setBlockFormat(first.blockFormat());
        into.setBlockCharFormat(first.charFormat());
        into.insertFragment(QTextDocumentFragment(from));
        // Each line is shaped once, for its layout, and drawn from the same glyphs.
        for (QTextBlock b = window->begin(); b.isValid(); b = b.next())
            b.layout()->setCacheEnabled(true);
        // Laid out once the text is all there (formats set later are not laid out again).
        window->documentLayout()->setPaintDevice(&context_.printer());
        window->setTextWidth(columnPx_);

        window_ = std::move(window);
        windowStart_ = start;
        nextStart_ = cut ? stop : stop + 1; // past the paragraph separator
        stopBlock_ = QTextBlock();
        heldBack_ = false;
        enterBlock(window_->begin());
        if (cut && block_.isValid()) {
            // A cut window is one piece of one paragraph. Its last line is held back, unless
            // it is its only line: every window must move on.
            heldLine_ = block_.layout()->lineCount() - 1;
            heldBack_ = heldLine_ > 0;
        }
        if (windowDone())
            nextWindow();
    }

    QtPageContext &context_;
    const std::unique_ptr<QTextDocument> source_;
    const int windowChars_;
    qreal pxPerPointX_ = 1, pxPerPointY_ = 1, columnPx_ = 1;
    int end_ = 0;

    std::unique_ptr<QTextDocument> window_;
    int windowStart_ = 0, nextStart_ = 0;
    QTextBlock block_; // the next line to draw: line_ of block_
    QRectF blockRect_;
    int line_ = 0;
    QTextBlock stopBlock_; // where the window ends early, or invalid
    bool heldBack_ = false;
    int heldLine_ = 0;
};

} // namespace

std::unique_ptr<StyledTextPrinter> makeStyledTextPrinter(const QTextDocument &document,
                                                         QtPageContext &context, int columnWidth,
                                                         int windowChars)
{
    return std::make_unique<QtStyledTextPrinter>(document, context, columnWidth, windowChars);
}

// ---------------------------------------------------------------------------------------------
// The service

namespace {

constexpr auto kCupsPatience = std::chrono::seconds(5);

// A page setup: the printer the user sets the page up for, or none when there is no printer.
class QtPageSetup : public PageSetup {
public:
    explicit QtPageSetup(std::shared_ptr<QPrinter> p) : printer(std::move(p)) {}
    // The area the job draws on, in points; without a printer, the fixed page's.
    int pageWidth() override { return printer ? qRound(area().width()) : 576; }
    int pageHeight() override { return printer ? qRound(area().height()) : 756; }
    std::shared_ptr<QPrinter> printer;
    std::optional<QPageLayout> chosen; // once the user has set the page up

private:
    QRectF area() const { return printer->pageLayout().paintRect(QPageLayout::Point); }
};

// Gives printer the layout's paper and orientation, and its margins where the printer can
// print them.
void takeLayout(QPrinter &printer, const QPageLayout &layout)
{
    printer.setPageOrientation(layout.orientation());
    printer.setPageSize(layout.pageSize());
    QPageLayout taken = printer.pageLayout();
    taken.setUnits(QPageLayout::Point);
    const QMarginsF least = taken.minimumMargins();
    const QMarginsF wanted = layout.margins(QPageLayout::Point);
    printer.setPageMargins(
        QMarginsF(qMax(wanted.left(), least.left()), qMax(wanted.top(), least.top()),
                  qMax(wanted.right(), least.right()), qMax(wanted.bottom(), least.bottom())),
        QPageLayout::Point);
}

// Qt's Page Setup dialog warns that a PDF printer "cannot be used", and then serves it well.
QtMessageHandler previousMessageHandler = nullptr;
void dropStandInWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QPageSetupDialog: Cannot be used")))
        return;
    previousMessageHandler(type, context, text);
}

// A job that never starts: the styled-text printer for a context of another kind.
class NothingToPrint : public StyledTextPrinter {
public:
    bool endOfText() override { return true; }
    void drawBlock(int, int, int) override {}
};

class QtPrintService : public PrintService {
public:
    std::unique_ptr<PageContext> openPrinter() override
    {
        auto printer = printerOnDestination();
        if (!printer)
            return nullptr;
        return std::make_unique<QtPageContext>(std::move(printer));
    }

    std::unique_ptr<PageSetup> newPageSetup() override
    {
        return std::make_unique<QtPageSetup>(printerOnDestination());
    }

    bool pageSetupDialog(PageSetup &setup) override
    {
        auto *s = dynamic_cast<QtPageSetup *>(&setup);
        if (!s || !s->printer)
            return false; // no printer to set a page up for
        // Qt's Page Setup dialog on a CUPS printer offers margins of zero, which the printer
        // then refuses, and with them the whole choice. So the user sets the page up on a PDF
        // stand-in, and the printer takes the page from it.
        QPrinter &printer = *s->printer;
        QPrinter standIn(QPrinter::HighResolution);
        standIn.setOutputFormat(QPrinter::PdfFormat);
        standIn.setPageLayout(printer.pageLayout());
        previousMessageHandler = qInstallMessageHandler(dropStandInWarning);
        QPageSetupDialog dialog(&standIn);
        qInstallMessageHandler(previousMessageHandler);
        if (!runModal(dialog))
            return false;
        takeLayout(printer, standIn.pageLayout());
        s->chosen = printer.pageLayout();
        return true;
    }

    std::unique_ptr<PageContext> printDialog(PageSetup *setup) override
    {
        // Asked again now: a printer may have come or gone since the page was set up.
        const QString destination = cupsDestination();
        if (destination.isEmpty())
            return nullptr;
        auto *s = dynamic_cast<QtPageSetup *>(setup);
        std::shared_ptr<QPrinter> printer = s ? s->printer : nullptr;
        if (!printer)
            printer = printerOn(destination);
        if (!printer)
            return nullptr;
        QPrintDialog dialog(printer.get());
        if (!runModal(dialog))
            return nullptr;
        // Qt's Print dialog puts the printer back on its default paper; the page set up is
        // the page the blocks were measured for.
        if (s && s->chosen)
            takeLayout(*printer, *s->chosen);
        return std::make_unique<QtPageContext>(std::move(printer));
    }

    std::unique_ptr<StyledTextPrinter> styledTextPrinter(const QTextDocument &document,
                                                         PageContext &context,
                                                         int columnWidth) override
    {
        auto *c = dynamic_cast<QtPageContext *>(&context);
        if (!c)
            return std::make_unique<NothingToPrint>();
        return makeStyledTextPrinter(document, *c, columnWidth);
    }

private:
    static bool runModal(QDialog &dialog)
    {
        dialog.show();
        dialog.raise();
        dialog.activateWindow();
        return dialog.exec() == QDialog::Accepted;
    }

    std::shared_ptr<QPrinter> printerOnDestination()
    {
        const QString destination = cupsDestination();
        return destination.isEmpty() ? nullptr : printerOn(destination);
    }

    // A printer on a CUPS destination; never the PDF file QPrinter falls back on.
    static std::shared_ptr<QPrinter> printerOn(const QString &destination)
    {
        const QPrinterInfo info = QPrinterInfo::printerInfo(destination);
        if (info.isNull())
            return nullptr;
        auto printer = std::make_shared<QPrinter>(info, QPrinter::HighResolution);
        if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat)
            return nullptr;
        printer->setDocName(QStringLiteral("Tapsel"));
        return printer;
    }

    QString cupsDestination()
    {
        if (!cupsAnswers())
            return QString();
        QString name = QPrinterInfo::defaultPrinterName();
        if (name.isEmpty())
            name = QPrinterInfo::availablePrinterNames().value(0);
        return name;
    }

    // libcups gives up on a server that takes connections but never answers (a hung cupsd, a
    // print server out of reach) only after minutes, and Qt asks it several times for one
    // printer. So CUPS is first asked for its destinations on a thread of its own, with a few
    // seconds' patience; a question left unanswered is not asked again until it is answered.
    // Until CUPS answers there is no printer. The thread touches no Qt, so that Qt's CUPS
    // support still starts on the main thread.
    bool cupsAnswers()
    {
        using GetDests = int (*)(void **);
        using FreeDests = void (*)(int, void *);
        struct Libcups {
            void *handle = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
            GetDests getDests = handle ? GetDests(dlsym(handle, "cupsGetDests")) : nullptr;
            FreeDests freeDests = handle ? FreeDests(dlsym(handle, "cupsFreeDests")) : nullptr;
        };
        static const Libcups cups;
        if (!cups.getDests || !cups.freeDests)
            return true; // Qt has no CUPS to ask either, and says so at once

        if (pending_) {
            std::lock_guard lock(pending_->mutex);
            if (!pending_->answered)
                return false;
        }
        auto question = std::make_shared<Question>();
        std::thread([question, getDests = cups.getDests, freeDests = cups.freeDests] {
            void *dests = nullptr;
            const int count = getDests(&dests);
            freeDests(count, dests);
            std::lock_guard lock(question->mutex);
            question->answered = true;
            question->destinations = count;
            question->done.notify_all();
        }).detach();
        std::unique_lock lock(question->mutex);
        if (!question->done.wait_for(lock, kCupsPatience, [&] { return question->answered; })) {
            pending_ = question;
            return false;
        }
        pending_.reset();
        return question->destinations > 0;
    }

    struct Question {
        std::mutex mutex;
        std::condition_variable done;
        bool answered = false;
        int destinations = 0;
    };
    std::shared_ptr<Question> pending_;
};

} // namespace

std::unique_ptr<PrintService> makePrintService() { return std::make_unique<QtPrintService>(); }

} // namespace platform::linux_x11
