// The system clipboard (the X CLIPBOARD selection). What Tapsel puts there, Qt offers
// (QClipboard); what another program offers is read raw and bounded (XSelectionReader), so
// every format comes back byte for byte and an owner that never answers cannot hold Tapsel.
#pragma once

#include "platform/clipboard.h"
#include "platform/linux/xselectionreader.h"

#include <QElapsedTimer>

#include <optional>

class QMimeData;

namespace platform::linux_x11 {

// HTML bytes as programs offer them (UTF-8, UTF-16 with or without a byte order mark, or the
// charset its <meta> names) as text.
QString decodeHtml(QByteArrayView bytes);

class QtClipboard : public Clipboard {
public:
    // Bounds on reading another program's clipboard.
    struct Limits {
        qsizetype formatBytes = 64 * 1024 * 1024; // a larger format is left out
        qsizetype totalBytes = 256 * 1024 * 1024;
        int replyMs = 3000;        // the longest wait for one answer (or one INCR piece)
        int stalledReplyMs = 200;  // the same, for an owner that lately failed to answer
        int stalledForMs = 10000;  // how long an owner counts as one that failed to answer
        int contentsMs = 6000;     // all formats of one contents() together
    };

    QtClipboard();

    bool hasText() override;
    bool hasPicture() override;
    QStringList formats() override;
    QString text() override;
    QByteArray styl() override;
    void setText(const QString &text) override;
    void close() override {}
    ClipboardContents contents() override;
    void setContents(const ClipboardContents &contents) override;

    Limits limits;

private:
    // One format on offer: its MIME type and the X targets that carry it, best first.
    struct Offer {
        QString mime;
        QList<QByteArray> targets;
    };
    enum class Source { Empty, Qt, X };

    Source source();
    QList<Offer> xOffers();
    XSelectionReader::Result readOffer(const Offer &offer, qsizetype limit,
                                       QDeadlineTimer overall);
    std::optional<QByteArray> xData(const QStringList &mimes);
    const QMimeData *qtData() const;
    int replyMs() const;
    void noteAnswer(XSelectionReader::Status status);
    void offer(const ClipboardContents &contents);

    XSelectionReader reader_;
    xcb_connection_t *qtConnection_ = nullptr; // Qt's own, to tell its windows from others'
    bool useX_ = false;
    uint32_t owner_ = 0; // the owner of the moment, as source() found it
    uint32_t stalledOwner_ = 0;
    QElapsedTimer stalledSince_;
};

} // namespace platform::linux_x11
