#include "platform/linux/xselectionreader.h"

#include <QDeadlineTimer>

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <poll.h>

namespace platform::linux_x11 {

namespace {

// Property reads go in pieces of this many bytes.
constexpr uint32_t kPieceBytes = 4u * 1024 * 1024;

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using XcbPtr = std::unique_ptr<T, FreeDeleter>;

// The first event that matches, or null once the deadline passed or the connection broke.
template<typename Match>
xcb_generic_event_t *waitFor(xcb_connection_t *c, Match match, QDeadlineTimer until)
{
    for (;;) {
        while (xcb_generic_event_t *e = xcb_poll_for_event(c)) {
            if (match(e))
                return e;
            std::free(e);
        }
        if (xcb_connection_has_error(c))
            return nullptr;
        const qint64 left = until.remainingTime();
        if (left == 0)
            return nullptr;
        pollfd p {xcb_get_file_descriptor(c), POLLIN, 0};
        const int wait = left < 0 || left > 1000 ? 1000 : int(left); // -1: no deadline
        if (poll(&p, 1, wait) < 0 && errno != EINTR)
            return nullptr;
    }
}

} // namespace

XSelectionReader::XSelectionReader() = default;

XSelectionReader::~XSelectionReader() { dropConnection(); }

bool XSelectionReader::connected() { return ensureConnection(); }

bool XSelectionReader::ensureConnection()
{
    if (c_ && !xcb_connection_has_error(c_))
        return true;
    dropConnection();
    int screen = 0;
    c_ = xcb_connect(nullptr, &screen);
    if (!c_ || xcb_connection_has_error(c_)) {
        dropConnection();
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; i < screen && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        dropConnection();
        return false;
    }
    root_ = it.data->root;
    clipboard_ = atom("CLIPBOARD");
    incr_ = atom("INCR");
    property_ = atom("_TAPSEL_SELECTION");
    renewRequestor();
    return !xcb_connection_has_error(c_);
}

void XSelectionReader::dropConnection()
{
    if (c_)
        xcb_disconnect(c_);
    c_ = nullptr;
    requestor_ = 0;
    atoms_.clear();
    names_.clear();
}

// A fresh window for the next request, so that a late answer to an abandoned one (or the
// rest of an abandoned INCR transfer) can never land in it.
void XSelectionReader::renewRequestor()
{
    if (requestor_)
        xcb_destroy_window(c_, requestor_);
    requestor_ = xcb_generate_id(c_);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c_, 0, requestor_, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
}

uint32_t XSelectionReader::atom(const QByteArray &name)
{
    auto it = atoms_.constFind(name);
    if (it != atoms_.constEnd())
        return *it;
    XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, uint16_t(name.size()), name.constData()), nullptr));
    if (!reply)
        return 0;
    atoms_.insert(name, reply->atom);
    names_.insert(reply->atom, name);
    return reply->atom;
}

QList<QByteArray> XSelectionReader::atomNames(const QList<uint32_t> &atoms)
{
    // Ask for every unknown name at once, then collect the answers.
    QList<std::pair<uint32_t, xcb_get_atom_name_cookie_t>> pending;
    for (uint32_t a : atoms)
        if (a && !names_.contains(a))
            pending.append({a, xcb_get_atom_name(c_, a)});
    for (const auto &[a, cookie] : pending) {
        XcbPtr<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(c_, cookie, nullptr));
        if (reply)
            names_.insert(a, QByteArray(xcb_get_atom_name_name(reply.get()),
                                        xcb_get_atom_name_name_length(reply.get())));
    }
    QList<QByteArray> out;
    out.reserve(atoms.size());
    for (uint32_t a : atoms)
        out.append(names_.value(a));
    return out;
}

uint32_t XSelectionReader::owner()
{
    if (!ensureConnection())
        return 0;
    XcbPtr<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
            c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
    return reply ? reply->owner : 0;
}

bool XSelectionReader::ownedBy(uint32_t window, xcb_connection_t *connection)
{
    if (!window || !connection)
        return false;
    const xcb_setup_t *setup = xcb_get_setup(connection);
    return setup && (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

bool XSelectionReader::readProperty(QByteArray &out, QByteArray *type, qsizetype limit,
                                    bool *tooLarge)
{
    uint32_t offset = 0; // in 32-bit units, as the protocol counts
    for (;;) {
        XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                c_,
                xcb_get_property(c_, 0, requestor_, property_, XCB_GET_PROPERTY_TYPE_ANY, offset,
                                 kPieceBytes / 4),
                nullptr));
        if (!reply)
            return false;
        if (reply->type == XCB_NONE)
            break;
        const int length = xcb_get_property_value_length(reply.get());
        if (length < 0 || out.size() + length > limit) {
            *tooLarge = true;
            xcb_delete_property(c_, requestor_, property_);
            xcb_flush(c_);
            return false;
        }
        if (type)
            *type = atomNames({reply->type}).value(0);
        out.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
        if (reply->bytes_after == 0 || length == 0)
            break;
        offset += uint32_t(length) / 4;
    }
    xcb_delete_property(c_, requestor_, property_);
    xcb_flush(c_);
    return true;
}

XSelectionReader::Result XSelectionReader::read(const QByteArray &target, qsizetype limit,
                                                int timeoutMs, QDeadlineTimer overall)
{
    Result r;
    if (!ensureConnection())
        return r;
    const uint32_t t = atom(target);
    if (!t)
        return r;
    const uint32_t requestor = requestor_;
    xcb_delete_property(c_, requestor, property_);
    xcb_convert_selection(c_, requestor, clipboard_, t, property_, XCB_CURRENT_TIME);
    xcb_flush(c_);

    auto deadline = [&] {
        const QDeadlineTimer wait(timeoutMs);
        return wait.deadline() < overall.deadline() ? wait : overall;
    };
    auto fail = [&](Status s) {
        renewRequestor();
        r.status = xcb_connection_has_error(c_) ? Status::Failed : s;
        r.data.clear();
        return r;
    };

    XcbPtr<xcb_generic_event_t> notify(waitFor(c_,
            [&](xcb_generic_event_t *e) {
                if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                    return false;
                auto *n = reinterpret_cast<xcb_selection_notify_event_t *>(e);
                return n->requestor == requestor && n->selection == clipboard_ && n->target == t;
            },
            deadline()));
    if (!notify)
        return fail(Status::TimedOut);
    if (reinterpret_cast<xcb_selection_notify_event_t *>(notify.get())->property == XCB_NONE) {
        r.status = Status::Refused;
        return r;
    }

    // The size (or, for INCR, the announced size) before anything is read.
    XcbPtr<xcb_get_property_reply_t> head(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, requestor, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
            nullptr));
    if (!head)
        return fail(Status::Failed);
    if (head->type == XCB_NONE) {
        r.status = Status::Refused;
        return r;
    }
    bool tooLarge = false;
    if (head->type != incr_) {
        const qint64 size = qint64(xcb_get_property_value_length(head.get())) + head->bytes_after;
        if (size > limit) {
            xcb_delete_property(c_, requestor, property_);
            xcb_flush(c_);
            r.status = Status::TooLarge;
            return r;
        }
        head.reset();
        if (!readProperty(r.data, &r.type, limit, &tooLarge))
            return fail(tooLarge ? Status::TooLarge : Status::Failed);
        r.status = Status::Ok;
        return r;
    }

    // INCR: the owner sends pieces, each after we delete the previous one.
    if (xcb_get_property_value_length(head.get()) >= 4) {
        const uint32_t announced = *static_cast<const uint32_t *>(xcb_get_property_value(head.get()));
        if (qint64(announced) > limit)
            return fail(Status::TooLarge);
    }
    head.reset();
    xcb_delete_property(c_, requestor, property_);
    xcb_flush(c_);
    for (;;) {
        XcbPtr<xcb_generic_event_t> piece(waitFor(c_,
                [&](xcb_generic_event_t *e) {
                    if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                        return false;
                    auto *p = reinterpret_cast<xcb_property_notify_event_t *>(e);
                    return p->window == requestor && p->atom == property_
                            && p->state == XCB_PROPERTY_NEW_VALUE;
                },
                deadline()));
        if (!piece)
            return fail(Status::TimedOut);
        QByteArray chunk;
        if (!readProperty(chunk, &r.type, limit - r.data.size(), &tooLarge))
            return fail(tooLarge ? Status::TooLarge : Status::Failed);
        if (chunk.isEmpty())
            break;
        r.data += chunk;
    }
    r.status = Status::Ok;
    return r;
}

std::optional<QList<QByteArray>> XSelectionReader::targets(int timeoutMs, Status *status)
{
    const Result r = read("TARGETS", 1024 * 1024, timeoutMs);
    if (status)
        *status = r.status;
    if (r.status != Status::Ok)
        return std::nullopt;
    QList<uint32_t> atoms;
    const auto *p = reinterpret_cast<const uint32_t *>(r.data.constData());
    for (qsizetype i = 0; i < r.data.size() / 4; ++i)
        if (p[i])
            atoms.append(p[i]);
    QList<QByteArray> names;
    for (const QByteArray &n : atomNames(atoms))
        if (!n.isEmpty() && !names.contains(n))
            names.append(n);
    return names;
}

} // namespace platform::linux_x11
