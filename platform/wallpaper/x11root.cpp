// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/x11root.h"
#include "platform/wallpaper/filecheck.h"

#include <QImageReader>
#include <QString>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/dpms.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace velumbra {
namespace {

// Xlib reports protocol errors through one process-wide handler whose default
// ends the program; while we talk to the server, errors are counted instead.
int g_xErrors = 0;
int countError(Display *, XErrorEvent *)
{
    ++g_xErrors;
    return 0;
}

class ErrorTrap
{
public:
    ErrorTrap() : m_previous(XSetErrorHandler(countError)) { g_xErrors = 0; }
    ~ErrorTrap() { XSetErrorHandler(m_previous); }
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;

    // Waits for the server to have handled every request sent so far.
    [[nodiscard]] bool failedAfterSync(Display *dpy) const
    {
        XSync(dpy, False);
        return g_xErrors != 0;
    }

private:
    XErrorHandler m_previous;
};

struct DisplayCloser
{
    void operator()(Display *dpy) const { XCloseDisplay(dpy); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr openDisplay(const std::string &name)
{
    return DisplayPtr(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
}

std::string cannotOpen(const std::string &name)
{
    return "Le serveur X « " + name + " » ne répond pas : le papier peint reste inchangé.";
}

Pixmap pixmapProperty(Display *dpy, Window root, Atom atom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    Pixmap result = None;
    if (XGetWindowProperty(dpy, root, atom, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data) {
        // Format 32 properties come back as longs whatever the platform's width.
        result = Pixmap(*reinterpret_cast<unsigned long *>(data));
    }
    if (data)
        XFree(data);
    return result;
}

std::vector<QRect> monitorRects(Display *dpy, Window root)
{
    std::vector<QRect> rects;
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase))
        return rects;
    int major = 0, minor = 0;
    if (!XRRQueryVersion(dpy, &major, &minor) || major * 100 + minor < 105)
        return rects;
    int count = 0;
    XRRMonitorInfo *monitors = XRRGetMonitors(dpy, root, True, &count);
    for (int i = 0; i < count; ++i)
        rects.emplace_back(monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height);
    if (monitors)
        XRRFreeMonitors(monitors);
    return rects;
}

int lowestBit(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Scales an 8-bit channel to the width of @p mask and moves it into place.
unsigned long packChannel(unsigned value, unsigned long mask)
{
    const int shift = lowestBit(mask);
    const unsigned long max = mask >> shift;
    return ((value * max + 127) / 255) << shift;
}

bool hostIsLittleEndian()
{
    const std::uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// The common visual (32 bits per pixel, 8 bits per channel at
// ff0000/ff00/ff) has the layout of an RGB32 image in the host's byte order.
bool sameLayoutAsRgb32(const XImage *ximage)
{
    return ximage->bits_per_pixel == 32 && ximage->red_mask == 0xff0000 &&
           ximage->green_mask == 0xff00 && ximage->blue_mask == 0xff;
}

// Packs an RGB32 image of the same size into @p ximage pixel by pixel from
// the visual's masks, for any other visual (depth 16, 30, ...).
void packImage(XImage *ximage, const QImage &rgb32)
{
    for (int y = 0; y < rgb32.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(rgb32.constScanLine(y));
        for (int x = 0; x < rgb32.width(); ++x) {
            const QRgb p = src[x];
            XPutPixel(ximage, x, y,
                      packChannel(unsigned(qRed(p)), ximage->red_mask) |
                          packChannel(unsigned(qGreen(p)), ximage->green_mask) |
                          packChannel(unsigned(qBlue(p)), ximage->blue_mask));
        }
    }
}

// Whether @p window says it is a desktop window.
bool isDesktopType(Display *d, Window window, Atom typeAtom, Atom desktopAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    bool desktop = false;
    if (XGetWindowProperty(d, window, typeAtom, 0, 16, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_ATOM && format == 32 && data) {
        const auto *atoms = reinterpret_cast<const unsigned long *>(data);
        for (unsigned long i = 0; i < count && !desktop; ++i)
            desktop = atoms[i] == desktopAtom;
    }
    if (data)
        XFree(data);
    return desktop;
}

// Keeps in @p top the last mapped desktop window met below @p window, down
// to @p depth levels: the root's children come bottom first, and a window
// manager puts each client one or two levels down, inside its frame.
void findTopDesktopWindow(Display *d, Window window, int depth, Atom typeAtom, Atom desktopAtom,
                          Window &top)
{
    Window root = None, parent = None;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, window, &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(d, children[i], &attributes) ||
            attributes.map_state != IsViewable)
            continue;
        if (isDesktopType(d, children[i], typeAtom, desktopAtom))
            top = children[i];
        else if (depth > 1)
            findTopDesktopWindow(d, children[i], depth - 1, typeAtom, desktopAtom, top);
    }
    if (children)
        XFree(children);
}

long cardinalProperty(Display *d, Window window, Atom atom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long value = 0;
    if (XGetWindowProperty(d, window, atom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 1 && data)
        value = *reinterpret_cast<const long *>(data);
    if (data)
        XFree(data);
    return value;
}

} // namespace

std::optional<X11DesktopWindow> x11TopDesktopWindow(const std::string &display)
{
    DisplayPtr dpy = openDisplay(display);
    if (!dpy)
        return std::nullopt;
    Display *d = dpy.get();
    // Windows may go while we look: their errors only mean "not this one".
    ErrorTrap trap;
    Window top = None;
    findTopDesktopWindow(d, DefaultRootWindow(d), 3, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False),
                         XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False), top);
    if (top == None)
        return std::nullopt;
    X11DesktopWindow found;
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(d, top, &hint)) {
        found.instance = hint.res_name ? hint.res_name : "";
        found.className = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    found.pid = cardinalProperty(d, top, XInternAtom(d, "_NET_WM_PID", False));
    (void)trap.failedAfterSync(d);
    return found;
}

DesktopWindowOwner ownerOf(const X11DesktopWindow &window)
{
    std::string name = window.className;
    for (char &c : name)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (name == "xfdesktop")
        return DesktopWindowOwner::Xfdesktop;
    if (name == "pcmanfm-qt")
        return DesktopWindowOwner::PcmanfmQt;
    if (name == "pcmanfm")
        return DesktopWindowOwner::Pcmanfm;
    return DesktopWindowOwner::Unknown;
}

QImage composeRootImage(const QImage &picture, QSize rootSize, const std::vector<QRect> &monitors)
{
    const QRect whole(QPoint(0, 0), rootSize);
    std::vector<QRect> areas;
    for (const QRect &m : monitors) {
        if (m.intersects(whole))
            areas.push_back(m);
    }
    const auto stretched = [&picture](QSize size) {
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    };
    if (areas.empty() || (areas.size() == 1 && areas.front() == whole))
        return stretched(rootSize);
    // What no monitor shows of the root (monitors of unequal sizes) stays black.
    QImage root(rootSize, QImage::Format_RGB32);
    root.fill(Qt::black);
    for (const QRect &area : areas) {
        const QImage scaled = stretched(area.size());
        const QRect visible = area.intersected(whole);
        const int dx = visible.x() - area.x();
        const int dy = visible.y() - area.y();
        for (int y = 0; y < visible.height(); ++y) {
            std::memcpy(root.scanLine(visible.y() + y) + std::ptrdiff_t(visible.x()) * 4,
                        scaled.constScanLine(dy + y) + std::ptrdiff_t(dx) * 4,
                        std::size_t(visible.width()) * 4);
        }
    }
    return root;
}

X11RootSetter::X11RootSetter(std::string display) : m_display(std::move(display)) {}

Result<> X11RootSetter::setWallpaper(const std::string &path, WallpaperLifetime)
{
    if (Result<> usable = checkWallpaperFile(path); !usable)
        return usable;
    // A picture under a desktop program's window would be set where nobody
    // sees it.
    if (const auto desktop = x11TopDesktopWindow(m_display)) {
        const std::string who = !desktop->className.empty()  ? desktop->className
                                : !desktop->instance.empty() ? desktop->instance
                                                             : std::string("sans nom");
        if (ownerOf(*desktop) != DesktopWindowOwner::Unknown)
            return Failure{"Le bureau est maintenant dessiné par « " + who +
                           " », par-dessus la fenêtre racine : relancez Velumbra pour qu'il "
                           "s'adresse à ce programme. Le papier peint reste inchangé."};
        return Failure{"Un programme inconnu de Velumbra (« " + who +
                       " ») dessine le bureau par-dessus la fenêtre racine : une image posée "
                       "sur la fenêtre racine n'y serait pas visible. Le papier peint reste "
                       "inchangé."};
    }
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return Failure{"L'image « " + path + " » ne peut pas être lue (" +
                       reader.errorString().toStdString() + ") : le papier peint reste inchangé."};

    // Our own connection: RetainPermanent keeps every resource of the
    // connection it is set on, and the program's toolkit connection must stay
    // free to go when the program ends.
    DisplayPtr dpy = openDisplay(m_display);
    if (!dpy)
        return Failure{cannotOpen(m_display)};
    Display *d = dpy.get();
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const QSize rootSize(DisplayWidth(d, screen), DisplayHeight(d, screen));
    const int depth = DefaultDepth(d, screen);

    const QImage composed = composeRootImage(picture, rootSize, monitorRects(d, root));

    ErrorTrap trap;
    XImage *ximage = XCreateImage(d, DefaultVisual(d, screen), unsigned(depth), ZPixmap, 0, nullptr,
                                  unsigned(rootSize.width()), unsigned(rootSize.height()), 32, 0);
    if (!ximage)
        return Failure{
            "Le serveur X n'accepte pas une image de " + std::to_string(rootSize.width()) + " × " +
            std::to_string(rootSize.height()) + " pixels : le papier peint reste inchangé."};
    std::vector<char> packed;
    if (sameLayoutAsRgb32(ximage) && ximage->bytes_per_line == composed.bytesPerLine()) {
        // Sent as it is; Xlib swaps the bytes for a server of the other order.
        ximage->byte_order = hostIsLittleEndian() ? LSBFirst : MSBFirst;
        // XPutImage only reads: constBits() spares the copy that bits()
        // makes while the decoded picture still shares the pixels.
        ximage->data = const_cast<char *>(reinterpret_cast<const char *>(composed.constBits()));
    } else {
        packed.resize(std::size_t(ximage->bytes_per_line) * std::size_t(rootSize.height()));
        ximage->data = packed.data();
        packImage(ximage, composed);
    }

    const Pixmap pixmap = XCreatePixmap(d, root, unsigned(rootSize.width()),
                                        unsigned(rootSize.height()), unsigned(depth));
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, ximage, 0, 0, 0, 0, unsigned(rootSize.width()),
              unsigned(rootSize.height()));
    XFreeGC(d, gc);
    ximage->data = nullptr; // owned by the image or the vector
    XDestroyImage(ximage);
    if (trap.failedAfterSync(d))
        return Failure{"Le serveur X a refusé l'image du papier peint "
                       "(mémoire insuffisante ?) : le papier peint reste inchangé."};

    const Atom rootPmap = XInternAtom(d, "_XROOTPMAP_ID", False);
    const Atom esetroot = XInternAtom(d, "ESETROOT_PMAP_ID", False);
    XGrabServer(d);
    // A previous setter that published the same pixmap under both names left
    // it behind on purpose, like us; a desktop program that names it only in
    // _XROOTPMAP_ID still owns it, and killing its client would end it.
    const Pixmap oldRoot = pixmapProperty(d, root, rootPmap);
    const Pixmap oldEsetroot = pixmapProperty(d, root, esetroot);
    if (oldRoot != None && oldRoot == oldEsetroot && oldRoot != pixmap)
        XKillClient(d, oldRoot);
    const unsigned long value = pixmap;
    XChangeProperty(d, root, rootPmap, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(&value), 1);
    XChangeProperty(d, root, esetroot, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(&value), 1);
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XUngrabServer(d);
    // A failed kill of a client that is already gone is harmless; only the
    // read-back decides.
    (void)trap.failedAfterSync(d);
    if (pixmapProperty(d, root, rootPmap) != pixmap || pixmapProperty(d, root, esetroot) != pixmap)
        return Failure{"Le serveur X n'a pas gardé le nouveau papier peint."};
    // Only now is the pixmap left behind for the desktop to show.
    XSetCloseDownMode(d, RetainPermanent);
    return Result<>::success();
}

std::vector<std::string> x11MonitorNames(const std::string &display)
{
    std::vector<std::string> names;
    DisplayPtr dpy = openDisplay(display);
    if (!dpy)
        return names;
    Display *d = dpy.get();
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(d, &eventBase, &errorBase) || !XRRQueryVersion(d, &major, &minor) ||
        major * 100 + minor < 105)
        return names;
    int count = 0;
    XRRMonitorInfo *monitors = XRRGetMonitors(d, DefaultRootWindow(d), True, &count);
    for (int i = 0; i < count; ++i) {
        if (char *name = XGetAtomName(d, monitors[i].name)) {
            names.emplace_back(name);
            XFree(name);
        }
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    return names;
}

Result<> X11RootSetter::disableScreenSaver()
{
    return disableX11ScreenSaver(m_display);
}

Result<> disableX11ScreenSaver(const std::string &display)
{
    DisplayPtr dpy = openDisplay(display);
    if (!dpy)
        return Failure{"Le serveur X « " + display +
                       " » ne répond pas : l'économiseur d'écran reste actif."};
    Display *d = dpy.get();
    ErrorTrap trap;
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(d, &timeout, &interval, &blanking, &exposures);
    XSetScreenSaver(d, 0, interval, blanking, exposures);
    XResetScreenSaver(d);
    // Servers without DPMS (virtual ones, many remote ones) have no display
    // power saving to switch off: that is not a failure.
    int dpmsEvent = 0, dpmsError = 0;
    const bool dpms = DPMSQueryExtension(d, &dpmsEvent, &dpmsError) && DPMSCapable(d);
    if (dpms)
        DPMSDisable(d);
    (void)trap.failedAfterSync(d);

    XGetScreenSaver(d, &timeout, &interval, &blanking, &exposures);
    if (timeout != 0)
        return Failure{"Le serveur X n'a pas désactivé l'économiseur d'écran."};
    if (dpms) {
        CARD16 level = 0;
        BOOL enabled = False;
        if (DPMSInfo(d, &level, &enabled) && enabled)
            return Failure{"Le serveur X n'a pas désactivé la mise en veille "
                           "de l'écran (DPMS)."};
    }
    return Result<>::success();
}

} // namespace velumbra
