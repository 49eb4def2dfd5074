// A stand-in for "another program" in the clipboard tests: owns the X CLIPBOARD with any
// number of targets (TYPE=FILE pairs) and serves them, large ones by INCR, until killed or
// until another client takes the clipboard. --mute never answers anything; --silent TYPE
// offers TYPE but never answers a request for it. Prints "ready" once it owns the clipboard.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Target {
    Atom atom;
    std::string data;
    bool silent = false;
};

struct Transfer { // one INCR transfer in progress
    Atom type;
    std::string data;
    size_t offset = 0;
};

Display *dpy;
Window win;
size_t chunk = 256 * 1024;
std::vector<Target> targets;
std::map<std::pair<Window, Atom>, Transfer> transfers;
Time ownedSince = CurrentTime;

// A requestor that went away must not end the owner.
int ignoreErrors(Display *, XErrorEvent *) { return 0; }

Atom atom(const char *name) { return XInternAtom(dpy, name, False); }

bool readFile(const char *path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void notify(const XSelectionRequestEvent &req, Atom property)
{
    XEvent ev {};
    ev.xselection.type = SelectionNotify;
    ev.xselection.requestor = req.requestor;
    ev.xselection.selection = req.selection;
    ev.xselection.target = req.target;
    ev.xselection.property = property;
    ev.xselection.time = req.time;
    XSendEvent(dpy, req.requestor, False, NoEventMask, &ev);
    XFlush(dpy);
}

void serve(const XSelectionRequestEvent &req)
{
    const Atom property = req.property == None ? req.target : req.property;
    if (req.target == atom("TARGETS")) {
        std::vector<Atom> list {atom("TARGETS"), atom("TIMESTAMP")};
        for (const Target &t : targets)
            list.push_back(t.atom);
        XChangeProperty(dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(list.data()), int(list.size()));
        notify(req, property);
        return;
    }
    if (req.target == atom("TIMESTAMP")) {
        long t = long(ownedSince);
        XChangeProperty(dpy, req.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(&t), 1);
        notify(req, property);
        return;
    }
    for (const Target &t : targets) {
        if (t.atom != req.target)
            continue;
        if (t.silent)
            return;
        if (t.data.size() > chunk) {
            long size = long(t.data.size());
            XSelectInput(dpy, req.requestor, PropertyChangeMask);
            XChangeProperty(dpy, req.requestor, property, atom("INCR"), 32, PropModeReplace,
                            reinterpret_cast<unsigned char *>(&size), 1);
            transfers[{req.requestor, property}] = Transfer {t.atom, t.data};
        } else {
            XChangeProperty(dpy, req.requestor, property, t.atom, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(t.data.data()),
                            int(t.data.size()));
        }
        notify(req, property);
        return;
    }
    notify(req, None);
}

void continueTransfer(const XPropertyEvent &ev)
{
    auto it = transfers.find({ev.window, ev.atom});
    if (ev.state != PropertyDelete || it == transfers.end())
        return;
    Transfer &t = it->second;
    const size_t n = std::min(chunk, t.data.size() - t.offset);
    XChangeProperty(dpy, ev.window, ev.atom, t.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(t.data.data() + t.offset), int(n));
    XFlush(dpy);
    t.offset += n;
    if (n == 0) // the empty chunk ends the transfer
        transfers.erase(it);
}

} // namespace

int main(int argc, char **argv)
{
    bool mute = false;
    std::vector<std::string> silent;
    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "clipboard_owner: no display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mute") {
            mute = true;
        } else if (arg == "--silent" && i + 1 < argc) {
            silent.push_back(argv[++i]);
        } else if (arg == "--chunk" && i + 1 < argc) {
            chunk = std::stoul(argv[++i]);
        } else {
            const size_t eq = arg.find('=');
            std::string data;
            if (eq == std::string::npos || !readFile(arg.c_str() + eq + 1, data)) {
                std::fprintf(stderr, "clipboard_owner: bad argument %s\n", arg.c_str());
                return 2;
            }
            const std::string type = arg.substr(0, eq);
            const bool quiet = std::find(silent.begin(), silent.end(), type) != silent.end();
            targets.push_back({atom(type.c_str()), data, quiet});
            if (type == "text/plain") { // as text programs offer it
                targets.push_back({atom("UTF8_STRING"), data, quiet});
                targets.push_back({XA_STRING, data, quiet});
            }
        }
    }

    win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy, win, PropertyChangeMask);
    // A real timestamp to own the selection with: the time of a property change.
    XChangeProperty(dpy, win, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>("clipboard_owner"), 15);
    XEvent ev;
    do
        XNextEvent(dpy, &ev);
    while (ev.type != PropertyNotify);
    ownedSince = ev.xproperty.time;
    const Atom clipboard = atom("CLIPBOARD");
    XSetSelectionOwner(dpy, clipboard, win, ownedSince);
    if (XGetSelectionOwner(dpy, clipboard) != win) {
        std::fprintf(stderr, "clipboard_owner: could not own the clipboard\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    for (;;) {
        XNextEvent(dpy, &ev);
        if (ev.type == SelectionRequest && !mute)
            serve(ev.xselectionrequest);
        else if (ev.type == PropertyNotify && ev.xproperty.window != win)
            continueTransfer(ev.xproperty);
        else if (ev.type == SelectionClear)
            break;
    }
    XCloseDisplay(dpy);
    return 0;
}
