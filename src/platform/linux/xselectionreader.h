// Reads another program's CLIPBOARD selection over a connection of its own, raw and bounded:
// every request has a time limit and every transfer (INCR ones too) a size limit, so an owner
// that never answers or offers gigabytes cannot hold Tapsel.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace platform::linux_x11 {

class XSelectionReader {
public:
    enum class Status { Ok, Refused, TimedOut, TooLarge, Failed };
    struct Result {
        Status status = Status::Failed;
        QByteArray data;
        QByteArray type; // the property type the owner answered with
    };

    XSelectionReader();
    ~XSelectionReader();
    XSelectionReader(const XSelectionReader &) = delete;
    XSelectionReader &operator=(const XSelectionReader &) = delete;

    // False when there is no X display to talk to.
    bool connected();
    // The window that owns CLIPBOARD; 0 for none.
    uint32_t owner();
    // Whether a window belongs to the given connection (Qt's own, say).
    static bool ownedBy(uint32_t window, xcb_connection_t *connection);

    // The target names on offer, in the owner's order.
    std::optional<QList<QByteArray>> targets(int timeoutMs, Status *status = nullptr);
    // One target's bytes. limit bounds the whole transfer; timeoutMs bounds every wait for the
    // owner, and overall the whole transfer.
    Result read(const QByteArray &target, qsizetype limit, int timeoutMs,
                QDeadlineTimer overall = QDeadlineTimer(QDeadlineTimer::Forever));

private:
    bool ensureConnection();
    void dropConnection();
    void renewRequestor();
    uint32_t atom(const QByteArray &name);
    QList<QByteArray> atomNames(const QList<uint32_t> &atoms);
    // Reads the whole property in pieces, deleting it afterwards.
    bool readProperty(QByteArray &out, QByteArray *type, qsizetype limit, bool *tooLarge);

    xcb_connection_t *c_ = nullptr;
    uint32_t root_ = 0;
    uint32_t requestor_ = 0;
    uint32_t property_ = 0;
    uint32_t clipboard_ = 0;
    uint32_t incr_ = 0;
    QHash<QByteArray, uint32_t> atoms_;
    QHash<uint32_t, QByteArray> names_;
};

} // namespace platform::linux_x11
