#include "platform/linux/qtclipboard.h"

#include "platform/linux/linuxplatform.h"
#include "platform/styl.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QStringDecoder>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>
#include <numeric>

namespace platform::linux_x11 {

namespace {

using Status = XSelectionReader::Status;

const QString kPlain = QStringLiteral("text/plain");
const QString kPlainUtf8 = QStringLiteral("text/plain;charset=utf-8");
const QString kHtml = QStringLiteral("text/html");
const QString kQtRichText = QStringLiteral("application/x-qt-richtext");
const QString kPng = QStringLiteral("image/png");
const QString kQtImage = QStringLiteral("application/x-qt-image");

// Targets that are no data: the protocol's own, requests with side effects (DELETE takes the
// selection away), and ids of server resources that mean nothing once the owner is gone.
bool isMetaTarget(const QByteArray &name)
{
    static const QList<QByteArray> meta {
            "TARGETS", "TIMESTAMP", "MULTIPLE", "SAVE_TARGETS",
            "DELETE", "INSERT_SELECTION", "INSERT_PROPERTY",
            "PIXMAP", "BITMAP", "DRAWABLE", "COLORMAP", "CLIENT_WINDOW"};
    return meta.contains(name);
}

// The targets that carry plain text, best first; -1 for any other.
int textRank(const QByteArray &name)
{
    if (name == "UTF8_STRING")
        return 0;
    if (name == "text/plain")
        return 1;
    if (name == "STRING")
        return 2;
    if (name == "TEXT")
        return 3;
    return -1;
}

// Read first when the time runs short: text, its styles, a picture.
int readRank(const QString &mime)
{
    if (mime == kPlain)
        return 0;
    if (mime == kHtml)
        return 1;
    if (mime == kPng)
        return 2;
    return 3;
}

QString withCarriageReturns(QString text)
{
    while (text.endsWith(QChar(0)))
        text.chop(1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\r"));
    text.replace(QChar('\n'), QChar('\r'));
    return text;
}

QString decodeUtf8OrLatin1(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

QString decodeHtml(QByteArrayView bytes)
{
    while (bytes.size() >= 2 && bytes.endsWith(QByteArrayView("\0\0", 2)))
        bytes.chop(2);
    if (bytes.size() >= 2) {
        const uchar b0 = uchar(bytes[0]), b1 = uchar(bytes[1]);
        const bool le = (b0 == 0xff && b1 == 0xfe) || (b0 != 0 && b1 == 0);
        const bool be = (b0 == 0xfe && b1 == 0xff) || (b0 == 0 && b1 != 0);
        if (le || be) {
            QStringDecoder utf16(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
            QString text = utf16(bytes.first(bytes.size() & ~qsizetype(1)));
            while (text.endsWith(QChar(0)))
                text.chop(1);
            return text;
        }
    }
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    const auto encoding = QStringConverter::encodingForHtml(bytes);
    if (encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(*encoding);
        return decoder(bytes);
    }
    // UTF-8, or a charset Qt cannot decode: Latin-1 is the nearest of those when UTF-8 fails.
    return decodeUtf8OrLatin1(bytes);
}

QtClipboard::QtClipboard()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            qtConnection_ = x11->connection();
        useX_ = qtConnection_ && reader_.connected();
    }
}

QtClipboard::Source QtClipboard::source()
{
    owner_ = 0;
    if (!useX_)
        return Source::Qt;
    owner_ = reader_.owner();
    if (!owner_)
        return reader_.connected() ? Source::Empty : Source::Qt;
    return XSelectionReader::ownedBy(owner_, qtConnection_) ? Source::Qt : Source::X;
}

const QMimeData *QtClipboard::qtData() const
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

int QtClipboard::replyMs() const
{
    const bool stalled = owner_ && owner_ == stalledOwner_ && stalledSince_.isValid()
            && stalledSince_.elapsed() < limits.stalledForMs;
    return stalled ? limits.stalledReplyMs : limits.replyMs;
}

// An owner that let one answer lapse gets only short waits for a while, even if it answers
// some requests (its list of targets, say) but not others.
void QtClipboard::noteAnswer(Status status)
{
    if (status != Status::TimedOut)
        return;
    if (owner_ != stalledOwner_)
        qWarning("Tapsel: the clipboard's owner (window 0x%x) does not answer", owner_);
    stalledOwner_ = owner_;
    stalledSince_.start();
}

QList<QtClipboard::Offer> QtClipboard::xOffers()
{
    Status status = Status::Failed;
    const auto names = reader_.targets(replyMs(), &status);
    noteAnswer(status);
    QList<Offer> offers;
    if (!names)
        return offers;
    qsizetype textAt = -1;
    for (const QByteArray &name : *names) {
        if (isMetaTarget(name))
            continue;
        const int rank = textRank(name);
        if (rank < 0) {
            offers.append({QString::fromLatin1(name), {name}});
            continue;
        }
        if (textAt < 0) {
            textAt = offers.size();
            offers.append({kPlain, {}});
        }
        QList<QByteArray> &targets = offers[textAt].targets;
        auto at = std::find_if(targets.begin(), targets.end(),
                               [rank](const QByteArray &t) { return textRank(t) > rank; });
        targets.insert(at, name);
    }
    return offers;
}

XSelectionReader::Result QtClipboard::readOffer(const Offer &offer, qsizetype limit,
                                                QDeadlineTimer overall)
{
    XSelectionReader::Result last;
    last.status = Status::Refused;
    for (const QByteArray &target : offer.targets) {
        XSelectionReader::Result r = reader_.read(target, limit, replyMs(), overall);
        noteAnswer(r.status);
        if (r.status == Status::TimedOut || r.status == Status::Failed)
            return r;
        if (r.status != Status::Ok) {
            last = r;
            continue;
        }
        if (offer.mime != kPlain)
            return r;
        // Plain text is kept as UTF-8, whatever target carried it.
        const QByteArray type = target == "TEXT" ? r.type : target;
        if (type == "STRING") {
            r.data = QString::fromLatin1(r.data).toUtf8();
        } else if (type != "UTF8_STRING" && type != "text/plain") {
            last.status = Status::Refused; // compound text and the like: try the next
            continue;
        }
        return r;
    }
    return last;
}

std::optional<QByteArray> QtClipboard::xData(const QStringList &mimes)
{
    const QList<Offer> offers = xOffers();
    for (const QString &mime : mimes)
        for (const Offer &o : offers) {
            if (o.mime.compare(mime, Qt::CaseInsensitive) != 0)
                continue;
            const XSelectionReader::Result r =
                    readOffer(o, limits.formatBytes, QDeadlineTimer(limits.contentsMs));
            if (r.status == Status::Ok)
                return r.data;
            if (r.status == Status::TooLarge)
                qWarning("Tapsel: the clipboard's %s is larger than %lld bytes; left alone",
                         qPrintable(mime), qlonglong(limits.formatBytes));
            if (r.status == Status::TimedOut || r.status == Status::Failed)
                return std::nullopt;
        }
    return std::nullopt;
}

namespace {

// What a QMimeData of Qt's holds, as formats another program would see: without the meta
// targets, and an image Qt keeps as such counted as PNG.
QStringList qtFormats(const QMimeData *md)
{
    QStringList out;
    if (!md)
        return out;
    const QStringList all = md->formats();
    for (const QString &f : all) {
        if (f.isEmpty() || isMetaTarget(f.toLatin1()) || out.contains(f))
            continue;
        if (f == kQtImage) {
            if (md->hasImage() && !all.contains(kPng) && !out.contains(kPng))
                out.append(kPng);
            continue;
        }
        out.append(f);
    }
    return out;
}

QByteArray qtFormatData(const QMimeData *md, const QString &format)
{
    if (format == kPng && !md->formats().contains(kPng)) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(md->imageData()).save(&buffer, "PNG");
        return png;
    }
    return md->data(format);
}

bool isPlainText(const QString &mime)
{
    return mime == kPlain || mime.startsWith(kPlain + QLatin1Char(';'), Qt::CaseInsensitive);
}

} // namespace

QStringList QtClipboard::formats()
{
    switch (source()) {
    case Source::Empty:
        return {};
    case Source::Qt:
        return qtFormats(qtData());
    case Source::X:
        break;
    }
    QStringList out;
    for (const Offer &o : xOffers())
        out.append(o.mime);
    return out;
}

bool QtClipboard::hasText()
{
    const QStringList all = formats();
    return std::any_of(all.begin(), all.end(), isPlainText);
}

bool QtClipboard::hasPicture()
{
    const QStringList all = formats();
    return std::any_of(all.begin(), all.end(), [](const QString &f) {
        return f.startsWith(QLatin1String("image/"), Qt::CaseInsensitive);
    });
}

QString QtClipboard::text()
{
    switch (source()) {
    case Source::Empty:
        return {};
    case Source::Qt: {
        const QMimeData *md = qtData();
        return md ? withCarriageReturns(md->text()) : QString();
    }
    case Source::X:
        break;
    }
    const auto bytes = xData({kPlain, kPlainUtf8});
    return bytes ? withCarriageReturns(decodeUtf8OrLatin1(*bytes)) : QString();
}

QByteArray QtClipboard::styl()
{
    QByteArray html;
    switch (source()) {
    case Source::Empty:
        return {};
    case Source::Qt:
        if (const QMimeData *md = qtData()) {
            html = md->data(kHtml);
            if (html.isEmpty())
                html = md->data(kQtRichText);
        }
        break;
    case Source::X:
        html = xData({kHtml, kQtRichText}).value_or(QByteArray());
        break;
    }
    if (html.isEmpty())
        return {};
    // The runs are taken only where the rich text's own text is text(): they never drift.
    return styl::fromRichText(decodeHtml(html), text());
}

ClipboardContents QtClipboard::contents()
{
    ClipboardContents out;
    const Source s = source();
    if (s == Source::Empty)
        return out;
    if (s == Source::Qt) {
        const QMimeData *md = qtData();
        for (const QString &f : qtFormats(md)) {
            const QByteArray data = qtFormatData(md, f);
            if (data.size() <= limits.formatBytes)
                out.append({f, data});
            else
                qWarning("Tapsel: the clipboard's %s is larger than %lld bytes; left out",
                         qPrintable(f), qlonglong(limits.formatBytes));
        }
        return out;
    }

    const QDeadlineTimer budget(limits.contentsMs);
    const QList<Offer> offers = xOffers();
    QList<qsizetype> order(offers.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return readRank(offers[a].mime) < readRank(offers[b].mime);
    });
    QList<std::optional<QByteArray>> got(offers.size());
    qsizetype total = 0;
    bool gaveUp = false;
    for (qsizetype i : order) {
        const QString &mime = offers[i].mime;
        if (gaveUp || budget.hasExpired()) {
            qWarning("Tapsel: the clipboard's %s was not read: its owner is too slow",
                     qPrintable(mime));
            continue;
        }
        const qsizetype room = limits.totalBytes - total;
        const XSelectionReader::Result r =
                readOffer(offers[i], qMin(limits.formatBytes, room), budget);
        switch (r.status) {
        case Status::Ok:
            got[i] = r.data;
            total += r.data.size();
            break;
        case Status::TooLarge:
            qWarning("Tapsel: the clipboard's %s is larger than %lld bytes; left out",
                     qPrintable(mime), qlonglong(qMin(limits.formatBytes, room)));
            break;
        case Status::TimedOut:
        case Status::Failed:
            // An owner that let one answer lapse gets no more chances this time.
            qWarning("Tapsel: the clipboard's %s could not be read", qPrintable(mime));
            gaveUp = true;
            break;
        case Status::Refused:
            break;
        }
    }
    for (qsizetype i = 0; i < offers.size(); ++i)
        if (got[i])
            out.append({offers[i].mime, *got[i]});
    return out;
}

void QtClipboard::offer(const ClipboardContents &contents)
{
    auto make = [&contents] {
        auto *md = new QMimeData;
        for (const ClipboardFormat &f : contents)
            if (!f.mime.isEmpty())
                md->setData(f.mime, f.data);
        return md;
    };
    QClipboard *cb = QGuiApplication::clipboard();
    cb->setMimeData(make(), QClipboard::Clipboard);
    if (!useX_ || XSelectionReader::ownedBy(reader_.owner(), qtConnection_))
        return;
    // Qt stamps its claim with the time of the last X event it handled; one that is older than
    // the present owner's claim is refused. Let Qt take in the events it has already received
    // (no timers, no user input), then claim again.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                    | QEventLoop::X11ExcludeTimers);
    cb->setMimeData(make(), QClipboard::Clipboard);
    if (!XSelectionReader::ownedBy(reader_.owner(), qtConnection_))
        qWarning("Tapsel: could not take the clipboard");
}

void QtClipboard::setText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    offer({{kPlain, t.toUtf8()}});
}

void QtClipboard::setContents(const ClipboardContents &contents)
{
    if (contents.isEmpty()) { // an empty clipboard is given back as one
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        return;
    }
    offer(contents);
}

std::unique_ptr<Clipboard> makeClipboard() { return std::make_unique<QtClipboard>(); }

} // namespace platform::linux_x11
