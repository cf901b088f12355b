// The resizing control: class Flexora ("FlexoraControl.Flexora"), its class object and the
// library's four entry points. Host contract and registry format: Flexora.h.

#include <flexora/Flexora.h>

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QSettings>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include <dlfcn.h>

namespace flexora {
namespace {

// Controls, their widgets and class objects alive; DllCanUnloadNow answers S_OK_ at 0.
std::atomic<long> g_alive{0};

struct AliveCount {
  AliveCount() { ++g_alive; }
  ~AliveCount() { --g_alive; }
  AliveCount(const AliveCount &) = delete;
  AliveCount &operator=(const AliveCount &) = delete;
};

constexpr double kTwipsPerPixel = 15.0;
const char *const kLineProperties[4] = {"X1", "Y1", "X2", "Y2"};

// Runs one step; a failure of the step is ignored (errors are ignored statement
// by statement, and nothing reaches the host).
template <class F> void step(F &&f) noexcept {
  try {
    f();
  } catch (...) {
  }
}

// A value stored into a 32-bit integer, rounded to the nearest (ties to even, as the
// original's conversion). False when it does not fit (the assignment is refused).
bool toInt32(double value, qint32 &out) {
  if (!std::isfinite(value))
    return false;
  const double r = std::nearbyint(value);
  if (r < double(std::numeric_limits<qint32>::min()) ||
      r > double(std::numeric_limits<qint32>::max()))
    return false;
  out = static_cast<qint32>(r);
  return true;
}

// trunc(reference / ratio): the assignment's value in twips. False when the ratio cannot
// be used (0 or not finite: the division fails) or the result does not fit in 32 bits.
bool scaled(qint32 reference, double ratio, double &out) {
  if (!(ratio > 0.0) || !std::isfinite(ratio))
    return false;
  const double v = std::trunc(double(reference) / ratio);
  if (!std::isfinite(v) || v < double(std::numeric_limits<qint32>::min()) ||
      v > double(std::numeric_limits<qint32>::max()))
    return false;
  out = v;
  return true;
}

// Twips to the nearest whole pixel (halves away from zero, as the program's twips::toPixels).
bool toPixels(double twips, int &px) {
  const double p = std::round(twips / kTwipsPerPixel);
  if (!std::isfinite(p) || p > QWIDGETSIZE_MAX || p < -QWIDGETSIZE_MAX)
    return false;
  px = static_cast<int>(p);
  return true;
}

double pixelsToTwips(int px) { return double(px) * kTwipsPerPixel; }

// A control of the host: a named descendant of the client area.
bool isControl(const QObject *o) {
  const QString name = o->objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

bool isLine(const QObject *o) {
  for (const char *p : kLineProperties)
    if (!o->property(p).isValid())
      return false;
  return true;
}

// The widget to place by Left/Top/Width/Height, or null when the control has no position
// of its own (not a widget, or a window of its own).
QWidget *positionedWidget(QObject *o) {
  if (!o->isWidgetType())
    return nullptr;
  QWidget *w = static_cast<QWidget *>(o);
  return w->isWindow() ? nullptr : w;
}

bool readLineProperty(const QObject *o, const char *name, qint32 &out) {
  bool ok = false;
  const double v = o->property(name).toDouble(&ok);
  return ok && toInt32(v, out);
}

// Writes a double-precision value, converted to the property's own type.
void writeLineProperty(QObject *o, const char *name, double value) {
  const QVariant current = o->property(name);
  QVariant v(value);
  if (current.isValid() && current.metaType() != v.metaType() && !v.convert(current.metaType()))
    return; // refused: the property cannot take a number
  o->setProperty(name, v);
}

// The host window's outer size is left alone while it is minimised, maximised or full
// screen: the window manager owns it then, and a change is skipped, not an error.
bool windowAcceptsResize(const QWidget *win) {
  return !(win->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

// ---------------------------------------------------------------------------------------

class Flexora final : public QWidget {
public:
  explicit Flexora(QWidget *clientArea) : QWidget(clientArea) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(0, 0);
    hide(); // invisible: stays hidden when the host is shown
  }

  ~Flexora() override {
    step([&] {
      if (objParent_)
        objParent_->removeEventFilter(this);
    });
  }

  void Init();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    step([&] {
      if (watched == objParent_ && event->type() == QEvent::Resize)
        objParent_Resize();
    });
    return false; // the host handles its own resize event as usual
  }

private:
  struct Entry {
    QPointer<QObject> control; // the control number i of the collection at Init
    bool line = false;
    qint32 top = 0, left = 0, height = 0, width = 0;
  };

  void objParent_Resize();
  QSize minimumOuterSize(const QWidget *client, const QWidget *win) const;
  void applyMinimumSize();

  AliveCount alive_;
  QPointer<QWidget> objParent_; // the client area
  qint32 refHeight_ = 0;        // reference client height (twips)
  qint32 refWidth_ = 0;         // reference client width (twips)
  QList<Entry> entries_;        // indices 0 to last index
  int depth_ = 0;               // passes running (a pass may raise a nested one)
  bool minimumPending_ = false; // a change of the window's size by the minimum rules is due
};

void Flexora::Init() {
  // 1. objParent: the container (client area); the resize events come through it.
  step([&] {
    QWidget *parent = parentWidget();
    if (objParent_ && objParent_ != parent)
      objParent_->removeEventFilter(this);
    objParent_ = parent;
  });
  entries_.clear();
  refHeight_ = 0;
  refWidth_ = 0;
  QWidget *client = objParent_;
  if (!client)
    return;

  // 2. Reference client size in twips, rounded.
  step([&] {
    qint32 v = 0;
    if (toInt32(pixelsToTwips(client->height()), v))
      refHeight_ = v;
  });
  step([&] {
    qint32 v = 0;
    if (toInt32(pixelsToTwips(client->width()), v))
      refWidth_ = v;
  });

  // 3, 4. One entry per control, in the collection's order (depth-first child order), all 0.
  step([&] {
    const QList<QObject *> all = client->findChildren<QObject *>(Qt::FindChildrenRecursively);
    entries_.reserve(all.size());
    for (QObject *o : all)
      if (isControl(o))
        entries_.append(Entry{o});
  });

  // 5, 6. Each control's geometry; a value that cannot be read leaves its 0.
  for (Entry &e : entries_) {
    QObject *c = e.control;
    if (!c)
      continue;
    step([&] {
      if (isLine(c)) {
        e.line = true;
        step([&] { readLineProperty(c, "Y1", e.top); });
        step([&] { readLineProperty(c, "X1", e.left); });
        step([&] { readLineProperty(c, "Y2", e.height); });
        step([&] { readLineProperty(c, "X2", e.width); });
      } else if (QWidget *w = positionedWidget(c)) {
        const QRect g = w->geometry(); // relative to its parent widget (e.g. its frame)
        step([&] { toInt32(pixelsToTwips(g.y()), e.top); });
        step([&] { toInt32(pixelsToTwips(g.x()), e.left); });
        step([&] { toInt32(pixelsToTwips(g.height()), e.height); });
        step([&] { toInt32(pixelsToTwips(g.width()), e.width); });
      }
    });
  }

  // From now on every resize of the client area runs the handler (installing again moves
  // the filter to the front; it is never installed twice).
  step([&] { client->installEventFilter(this); });
}

// The outer size the minimum rules want for the window, in pixels (the current size when
// neither rule applies or the window refuses a change).
QSize Flexora::minimumOuterSize(const QWidget *client, const QWidget *win) const {
  QSize size = win->size();
  if (!windowAcceptsResize(win))
    return size;
  // 3. Minimum height: when half the reference client height (single precision) is at
  // least the current client height, the outer height becomes that half + 400 twips.
  step([&] {
    const float half = float(refHeight_) / 2.0f;
    if (half >= float(pixelsToTwips(client->height()))) {
      int outerPx = 0;
      const int frameExtra = win->frameGeometry().height() - win->height();
      if (toPixels(double(half) + 400.0, outerPx) && outerPx - frameExtra >= 1)
        size.setHeight(outerPx - frameExtra);
    }
  });
  // 4. Minimum width, the same kind of rule as the height rule: when half the reference
  // client width is at least the current client width, the outer width becomes half the
  // reference client width plus the window's own non-client width (its borders), measured
  // rather than a fixed 400 twips, so the client area keeps exactly (rounded up to a whole
  // pixel) half its reference width and no control is squeezed below half its designed
  // width. The rule is stable: at exactly half nothing changes, so it cannot raise an
  // endless chain of resizes.
  step([&] {
    const float half = float(refWidth_) / 2.0f;
    if (half >= float(pixelsToTwips(client->width()))) {
      const double wantClient = std::ceil(double(half) / kTwipsPerPixel);
      const double outer = double(win->width()) + (wantClient - double(client->width()));
      if (outer > win->width() && outer <= QWIDGETSIZE_MAX)
        size.setWidth(static_cast<int>(outer));
    }
  });
  return size;
}

// Gives the window the size the minimum rules want: the height first, then the width, as
// two separate changes. Runs from the event loop, never inside the host's own layout pass:
// a window resized from within the resize event of its central widget is laid out again
// by the host's layout with the old size once the handler returns (QMainWindow), which
// would leave the client area at its old size under the new window.
void Flexora::applyMinimumSize() {
  QPointer<Flexora> self(this);
  QPointer<QWidget> client = objParent_.data();
  QPointer<QWidget> win = client ? client->window() : nullptr;
  if (client && win) {
    // The passes raised by these changes lay the controls out; they ask for no further
    // change while this one runs (minimumPending_ stays set), so nothing can repeat endlessly.
    const QSize wanted = minimumOuterSize(client, win);
    if (wanted.height() != win->height())
      step([&] { win->resize(win->width(), wanted.height()); });
    if (self && client && win && wanted.width() != win->width())
      step([&] { win->resize(wanted.width(), win->height()); });
  }
  if (self)
    minimumPending_ = false;
}

void Flexora::objParent_Resize() {
  QPointer<Flexora> self(this);
  QPointer<QWidget> client = objParent_;
  if (!client)
    return;
  QPointer<QWidget> win = client->window();

  // 2. Persistent drawing for the pass: the window draws once, after the pass.
  bool previousUpdates = true;
  step([&] {
    previousUpdates = win->updatesEnabled();
    win->setUpdatesEnabled(false);
  });
  struct Restore {
    QPointer<QWidget> win;
    bool previous;
    ~Restore() {
      step([&] {
        if (win && win->updatesEnabled() != previous)
          win->setUpdatesEnabled(previous);
      });
    }
  } restore{win, previousUpdates};

  ++depth_;
  struct Depth {
    QPointer<Flexora> self;
    int &depth;
    ~Depth() {
      if (self)
        --depth;
    }
  } depthGuard{self, depth_};

  // 3, 4. Minimum height and width. The window change is made as soon as the host's resize
  // handling has returned (see applyMinimumSize); its resize event then lays the controls
  // out for the new client size. This pass lays them out for the current one.
  step([&] {
    if (depth_ == 1 && win && !minimumPending_ && minimumOuterSize(client, win) != win->size()) {
      minimumPending_ = true;
      QMetaObject::invokeMethod(
          this, [this] { step([&] { applyMinimumSize(); }); }, Qt::QueuedConnection);
    }
  });
  if (!self || !client || !win)
    return;

  // 5. Ratios, read after the minimum rules. A minimised host (or an empty client area)
  // has no usable ratio: every assignment is skipped and the controls stay where they are.
  const double curHeight = pixelsToTwips(client->height());
  const double curWidth = pixelsToTwips(client->width());
  if (win->isMinimized() || curHeight == 0.0 || curWidth == 0.0)
    return;
  const double vRatio = double(refHeight_) / curHeight;
  const double hRatio = double(refWidth_) / curWidth;

  // 6. Every control, one assignment at a time, in the order Top, Left, Height, Width.
  for (qsizetype i = 0; self && i < entries_.size(); ++i) {
    const Entry e = entries_[i];
    QObject *c = e.control;
    if (!c)
      continue;
    double v = 0;
    if (e.line) {
      step([&] {
        if (e.control && scaled(e.top, vRatio, v))
          writeLineProperty(e.control, "Y1", v);
      });
      if (!self)
        break;
      step([&] {
        if (e.control && scaled(e.left, hRatio, v))
          writeLineProperty(e.control, "X1", v);
      });
      if (!self)
        break;
      step([&] {
        if (e.control && scaled(e.height, vRatio, v))
          writeLineProperty(e.control, "Y2", v);
      });
      if (!self)
        break;
      step([&] {
        if (e.control && scaled(e.width, hRatio, v))
          writeLineProperty(e.control, "X2", v);
      });
      continue;
    }
    QPointer<QWidget> w = positionedWidget(c);
    if (!w)
      continue; // no position of its own: left alone
    int px = 0;
    step([&] { // Top
      if (w && scaled(e.top, vRatio, v) && toPixels(v, px))
        w->move(w->x(), px);
    });
    if (!self)
      break;
    step([&] { // Left
      if (w && scaled(e.left, hRatio, v) && toPixels(v, px))
        w->move(px, w->y());
    });
    if (!self)
      break;
    step([&] { // Height (a negative height is refused)
      if (w && scaled(e.height, vRatio, v) && toPixels(v, px) && px >= 0)
        w->resize(w->width(), px);
    });
    if (!self)
      break;
    step([&] { // Width
      if (w && scaled(e.width, hRatio, v) && toPixels(v, px) && px >= 0)
        w->resize(px, w->height());
    });
  }
  // 7. The window's drawing setting is restored by `restore`.
}

// ---------------------------------------------------------------------------------------

// The handle the host holds. It outlives the widget if the host destroys its client area
// first; Release then only ends the handle.
class FlexoraInstance final : public IFlexora {
public:
  explicit FlexoraInstance(Flexora *control) : control_(control) {}

  void Init() override {
    step([&] {
      if (control_)
        control_->Init();
    });
  }
  QWidget *widget() override { return control_.data(); }
  void Release() override {
    step([&] { delete control_.data(); });
    delete this;
  }

private:
  ~FlexoraInstance() override = default;
  AliveCount alive_;
  QPointer<Flexora> control_;
};

class ClassFactory final : public IClassFactory {
public:
  IFlexora *CreateInstance(QWidget *clientArea) override {
    if (!clientArea)
      return nullptr;
    try {
      auto *control = new Flexora(clientArea);
      try {
        return new FlexoraInstance(control);
      } catch (...) {
        delete control;
        return nullptr;
      }
    } catch (...) {
      return nullptr;
    }
  }
  void Release() override { delete this; }

private:
  ~ClassFactory() override = default;
  AliveCount alive_;
};

// ---------------------------------------------------------------------------------------
// Registration.

// This library's own file, as the loader found it.
QString ownLibraryPath() {
  static const char anchor = 0;
  Dl_info info{};
  if (dladdr(&anchor, &info) == 0 || !info.dli_fname || !*info.dli_fname)
    return QString();
  return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

QString registryPath(const QString &libraryPath) {
  return QFileInfo(libraryPath).absoluteDir().filePath(QString::fromLatin1(kRegistryFileName));
}

} // namespace
} // namespace flexora

using namespace flexora;

extern "C" {

Q_DECL_EXPORT long DllRegisterServer(void) {
  try {
    const QString library = ownLibraryPath();
    if (library.isEmpty())
      return E_FAIL_;
    const QDir folder = QFileInfo(library).absoluteDir();
    // Relative to the registry's folder when the library lies in (or below) it.
    QString recorded = folder.relativeFilePath(library);
    if (recorded.isEmpty() || QDir::isAbsolutePath(recorded) || recorded == QLatin1String("..") ||
        recorded.startsWith(QLatin1String("../")))
      recorded = library;
    QSettings registry(registryPath(library), QSettings::IniFormat);
    registry.beginGroup(QString::fromLatin1(kClassName));
    registry.setValue(QString::fromLatin1(kRegistryDescriptionKey),
                      QString::fromLatin1(kDescription));
    registry.setValue(QString::fromLatin1(kRegistryLibraryKey), recorded);
    registry.endGroup();
    registry.sync();
    return registry.status() == QSettings::NoError ? S_OK_ : E_FAIL_;
  } catch (...) {
    return E_FAIL_;
  }
}

Q_DECL_EXPORT long DllUnregisterServer(void) {
  try {
    const QString library = ownLibraryPath();
    if (library.isEmpty())
      return E_FAIL_;
    const QString path = registryPath(library);
    if (!QFileInfo::exists(path))
      return S_OK_;
    bool empty = false;
    {
      QSettings registry(path, QSettings::IniFormat);
      registry.remove(QString::fromLatin1(kClassName));
      registry.sync();
      if (registry.status() != QSettings::NoError)
        return E_FAIL_;
      empty = registry.allKeys().isEmpty();
    }
    if (empty)
      QFile::remove(path);
    return S_OK_;
  } catch (...) {
    return E_FAIL_;
  }
}

Q_DECL_EXPORT long DllGetClassObject(const char *className, const char *interfaceName,
                                     void **classObject) {
  try {
    if (!classObject)
      return E_POINTER_;
    *classObject = nullptr;
    if (!className || std::strcmp(className, kClassName) != 0)
      return CLASS_E_CLASSNOTAVAILABLE_;
    if (interfaceName && std::strcmp(interfaceName, kControlInterface) != 0 &&
        std::strcmp(interfaceName, kFactoryInterface) != 0)
      return E_NOINTERFACE_;
    IClassFactory *factory = new (std::nothrow) ClassFactory;
    if (!factory)
      return E_FAIL_;
    *classObject = factory;
    return S_OK_;
  } catch (...) {
    return E_FAIL_;
  }
}

Q_DECL_EXPORT long DllCanUnloadNow(void) { return g_alive.load() == 0 ? S_OK_ : S_FALSE_; }

} // extern "C"
