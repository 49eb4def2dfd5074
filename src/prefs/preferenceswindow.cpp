#include "prefs/preferenceswindow.h"
#include "common/windowsetup.h"

#include "common/module1.h"
#include "platform/points.h"
#include "prefs/preferencefiles.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

using platform::classicFont;
using platform::pt;
using platform::ptRect;

namespace {

QString withBreaks(QString text) { return text.replace(QChar('\r'), QChar('\n')); }

const QString kPageSetUpCaption =
    QStringLiteral("View Page Setup and Print Dialog Boxes When Printing\r is Default View");
const QString kPrintDialogCaption = QStringLiteral("View Just the Print Dialog Box When Printing");
const QString kHeading = QStringLiteral("Keyboard Shortcut Preferences");
const QString kNote = QStringLiteral("Note:  To print without viewing either the Page Setup or "
                                     "Print dialog box, leave both checkboxes unchecked.");
const QString kDockNote = QStringLiteral(
    "Note:  You can override this preference when using Tapsel's popup Dock menu to print your "
    "selection.");
const QString kPageSetUpHelp =
    QStringLiteral("This preference item will cause the Page Setup and Print Dialog boxes to "
                   "appear when printing your selection using the Option-Control-p shortcut.\r\r") +
    kDockNote + QStringLiteral("\r");
const QString kPrintDialogHelp =
    QStringLiteral("This preference item will cause the Print Dialog box to appear when printing "
                   "your selection using the Option-Control-p shortcut.\r\r") +
    kDockNote;

// A check box whose caption wraps inside its width, with the box beside the first line; the
// whole area takes the click.
class WrappingCheckBox : public QCheckBox {
  public:
    WrappingCheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent) {}

    // The height the caption needs at this width, and never less than the given one.
    int heightFor(int width, int atLeast) const
    {
        const QRect text = textRect(QRect(0, 0, width, 1 << 20));
        const int needed = fontMetrics()
                               .boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft, displayed())
                               .height();
        return qMax(atLeast, needed + 2);
    }

  protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        opt.text.clear();
        QStyleOptionButton box = opt;
        box.rect = indicatorRect();
        p.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
        const QRect text = textRect(rect());
        p.drawItemText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, palette(),
                       isEnabled(), displayed(), QPalette::WindowText);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = fontMetrics()
                             .boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft, displayed())
                             .adjusted(-2, 0, 2, 0);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }

  private:
    QString displayed() const { return text(); }
    QRect indicatorRect() const
    {
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, &opt, this);
        const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, &opt, this);
        const int line = fontMetrics().height();
        return QRect(0, qMax(0, (line - h) / 2), w, h);
    }
    QRect textRect(const QRect &area) const
    {
        QStyleOptionButton opt;
        initStyleOption(&opt);
        const int left = indicatorRect().width() +
                         style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &opt, this);
        return area.adjusted(left, 0, 0, 0);
    }
};

} // namespace

PreferencesWindow::PreferencesWindow() : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PreferencesWindow"));
    // Closing the preferences never ends Tapsel.
    setAttribute(Qt::WA_QuitOnClose, false);
    SetUpWindow(*this, QStringLiteral("Tapsel Preferences"), 290, 194);
    CreateControls();
    Open();
    // At quit every window closes, a hidden one too, so that the files are written.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
}

void PreferencesWindow::CreateControls()
{
    auto box = [&](const char *name, QRect r, const QString &caption, const QString &help) {
        auto *b = new WrappingCheckBox(withBreaks(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setFont(classicFont(QStringLiteral("Geneva"), 11));
        b->setToolTip(withBreaks(help));
        // Geneva's look-alikes run wider than Geneva: a caption may use the room up to the
        // window's right margin, so that it wraps into as few lines as it did there.
        const int width = qMax(r.width(), pt(290 - 20) - r.x());
        b->setGeometry(r.x(), r.y(), width, b->heightFor(width, r.height()));
        return b;
    };
    auto label = [&](const char *name, QRect r, const QString &text, qreal size) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setFont(classicFont(QStringLiteral("Geneva"), size));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(r.x(), r.y(), r.width(), qMax(r.height(), l->heightForWidth(r.width())));
        return l;
    };

    auto *pageSetUp =
        box("PageSetUpCheckbox", ptRect(60, 47, 170, 26), kPageSetUpCaption, kPageSetUpHelp);
    auto *printDialog =
        box("PrintDialogCheckbox", ptRect(60, 91, 170, 26), kPrintDialogCaption, kPrintDialogHelp);
    PageSetUpCheckbox = pageSetUp;
    PrintDialogCheckbox = printDialog;
    StaticText1 = label("StaticText1", ptRect(45, 12, 200, 20), kHeading, 12);
    StaticText2 = label("StaticText2", ptRect(40, 136, 210, 42), kNote, 11);

    // A caption that needed more lines pushes what lies below it down, never onto it.
    QWidget *previous = nullptr;
    for (QWidget *w :
         {static_cast<QWidget *>(StaticText1), static_cast<QWidget *>(PageSetUpCheckbox),
          static_cast<QWidget *>(PrintDialogCheckbox), static_cast<QWidget *>(StaticText2)}) {
        if (previous && w->y() < previous->geometry().bottom() + pt(6))
            w->move(w->x(), previous->geometry().bottom() + pt(6));
        previous = w;
    }
    if (height() < StaticText2->geometry().bottom() + pt(12))
        resize(width(), StaticText2->geometry().bottom() + pt(12));

    // pressed() comes as the button goes down, before the click completes and toggles;
    // clicked() is a value change made by the user (changes made here in code do not count).
    connect(PageSetUpCheckbox, &QAbstractButton::pressed, this,
            [this] { PageSetUpCheckbox_MouseDown(); });
    connect(PrintDialogCheckbox, &QAbstractButton::pressed, this,
            [this] { PrintDialogCheckbox_MouseDown(); });
    connect(PageSetUpCheckbox, &QAbstractButton::clicked, this,
            &PreferencesWindow::PageSetUpCheckbox_Action);
    connect(PrintDialogCheckbox, &QAbstractButton::clicked, this,
            &PreferencesWindow::PrintDialogCheckbox_Action);
}

void PreferencesWindow::Open()
{
    if (PreferenceFileIsTrue(Prefs::kPageSetUpFile, Prefs::kPageSetUpTrue)) {
        PageSetUpCheckbox->setChecked(true);
        Module1::ViewPageSetUp = true;
        Module1::ViewPrinterDialog = false;
    }
    if (PreferenceFileIsTrue(Prefs::kPrinterDialogFile, Prefs::kPrintDialogTrue)) {
        PrintDialogCheckbox->setChecked(true);
        Module1::ViewPageSetUp = false;
        Module1::ViewPrinterDialog = true;
    }
    hide();
}

PreferencesWindow &PreferencesWindow::instance()
{
    using One = SingleInstance<PreferencesWindow>;
    if (One::existing() && One::existing()->closed_)
        One::destroy(); // closed, its deletion still pending
    return One::instance();
}

bool PreferencesWindow::exists()
{
    const PreferencesWindow *w = SingleInstance<PreferencesWindow>::existing();
    return w && !w->closed_;
}

void PreferencesWindow::showWindow()
{
    PreferencesWindow &w = instance();
    if (!w.placed_) {
        // In the middle of the screen the first time; where the user left it afterwards.
        w.placed_ = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect r = w.geometry();
            r.moveCenter(screen->availableGeometry().center());
            w.move(r.topLeft());
        }
    }
    w.show();
    w.raise();
    w.activateWindow();
}

bool PreferencesWindow::PageSetUpCheckbox_MouseDown()
{
    if (!PageSetUpCheckbox->isChecked()) {
        PrintDialogCheckbox->setChecked(false);
        PrintDialogCheckbox->repaint();
    }
    return false;
}

bool PreferencesWindow::PrintDialogCheckbox_MouseDown()
{
    if (!PrintDialogCheckbox->isChecked()) {
        Module1::ViewPageSetUp = false;
        PageSetUpCheckbox->setChecked(false);
        PageSetUpCheckbox->repaint();
    }
    return false;
}

void PreferencesWindow::PageSetUpCheckbox_Action()
{
    if (Module1::ViewPageSetUp) {
        Module1::ViewPageSetUp = false;
    } else {
        Module1::ViewPageSetUp = true;
        Module1::ViewPrinterDialog = false;
    }
}

void PreferencesWindow::PrintDialogCheckbox_Action()
{
    if (Module1::ViewPrinterDialog) {
        Module1::ViewPrinterDialog = false;
    } else {
        Module1::ViewPrinterDialog = true;
        Module1::ViewPageSetUp = false;
    }
}

void PreferencesWindow::Close()
{
    if (closing_)
        return;
    closing_ = true;
    SavePreferences();
    closed_ = true;
}

void PreferencesWindow::closeEvent(QCloseEvent *event)
{
    Close();
    event->accept();
}
