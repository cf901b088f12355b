// The resizing control through the real component service: registration into a folder's
// components.ini, creation by class name, release and unloading, unregistration, and the
// failures that leave a screen without resizing.

#include "FlexoraTestSupport.h"

#include "platform/ResizingControl.h"
#include "platform/components/ComponentService.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>
#include <flexora/Flexora.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

using flexora_test::builtLibrary;
using flexora_test::componentFolder;
using flexora_test::componentLibrary;

const QString kClass = QString::fromLatin1(flexora::kClassName);

// Whether the dynamic loader still has the library mapped.
bool mapped(const QString &path) {
  void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle)
    dlclose(handle);
  return handle != nullptr;
}

QString readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A fresh folder with its own copy of the library.
struct LibraryFolder {
  LibraryFolder() {
    EXPECT_TRUE(dir.isValid());
    EXPECT_TRUE(QFile::copy(builtLibrary(), library()));
  }
  QString path() const { return dir.path(); }
  QString library() const { return dir.filePath(QStringLiteral("libflexora.so")); }
  QString registry() const { return dir.filePath(QStringLiteral("components.ini")); }
  QTemporaryDir dir;
};

TEST(FlexoraComponent, RegisterRecordsTheClassBesideTheLibrary) {
  LibraryFolder folder;
  ComponentService service(folder.path());
  EXPECT_EQ(service.registryPath(), folder.registry());
  EXPECT_TRUE(service.registeredLibrary(kClass).isEmpty());
  QString error;
  ASSERT_TRUE(service.registerServer(folder.library(), &error)) << error.toStdString();
  ASSERT_TRUE(QFile::exists(folder.registry()));
  // The library's path is recorded relative to the folder.
  const QString text = readAll(folder.registry());
  EXPECT_TRUE(text.contains(QStringLiteral("[FlexoraControl.Flexora]"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Library=libflexora.so"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Description=Flexora Control Repositioner")))
      << text.toStdString();
  EXPECT_EQ(service.registeredLibrary(kClass), folder.library());
  // Registering twice changes nothing.
  ASSERT_TRUE(service.registerServer(folder.library(), &error)) << error.toStdString();
  EXPECT_EQ(readAll(folder.registry()), text);
  // The registration call leaves nothing loaded.
  EXPECT_FALSE(mapped(folder.library()));
}

TEST(FlexoraComponent, CreateByClassNameReleaseUnloadsAndUnregister) {
  LibraryFolder folder;
  ComponentService service(folder.path());
  QString error;
  ASSERT_TRUE(service.registerServer(folder.library(), &error)) << error.toStdString();

  QWidget host;
  host.resize(300, 200);
  {
    std::unique_ptr<ComponentInstance> instance = service.createControl(kClass, &host, &error);
    ASSERT_NE(instance, nullptr) << error.toStdString();
    EXPECT_EQ(instance->libraryPath(), folder.library());
    ASSERT_NE(instance->widget(), nullptr);
    EXPECT_EQ(instance->widget()->parentWidget(), &host);
    EXPECT_TRUE(instance->widget()->objectName().isEmpty()); // named by the host, not by itself
    instance->control()->Init();
    EXPECT_TRUE(ComponentService::isLoaded(folder.library()));
    EXPECT_TRUE(mapped(folder.library()));

    // A second control shares the loaded library; releasing the first keeps it loaded.
    std::unique_ptr<ComponentInstance> second = service.createControl(kClass, &host, &error);
    ASSERT_NE(second, nullptr) << error.toStdString();
    instance.reset();
    EXPECT_TRUE(ComponentService::isLoaded(folder.library()));
    EXPECT_TRUE(mapped(folder.library()));
    EXPECT_EQ(host.findChildren<QWidget *>().size(), 1);
  }
  // The last release: DllCanUnloadNow says S_OK_ and the library is unloaded.
  EXPECT_FALSE(ComponentService::isLoaded(folder.library()));
  EXPECT_FALSE(mapped(folder.library()));
  EXPECT_TRUE(host.findChildren<QWidget *>().isEmpty());

  // Loaded again on demand.
  {
    auto again = service.createControl(kClass, &host, &error);
    ASSERT_NE(again, nullptr) << error.toStdString();
    EXPECT_TRUE(ComponentService::isLoaded(folder.library()));
  }
  EXPECT_FALSE(ComponentService::isLoaded(folder.library()));

  ASSERT_TRUE(service.unregisterServer(folder.library(), &error)) << error.toStdString();
  EXPECT_FALSE(QFile::exists(folder.registry())); // nothing else was recorded there
  EXPECT_TRUE(service.registeredLibrary(kClass).isEmpty());
  EXPECT_EQ(service.createControl(kClass, &host, &error), nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("not registered"))) << error.toStdString();
  // Unregistering again is fine.
  EXPECT_TRUE(service.unregisterServer(folder.library(), &error)) << error.toStdString();
}

TEST(FlexoraComponent, UnregisterKeepsOtherClasses) {
  LibraryFolder folder;
  {
    QSettings other(folder.registry(), QSettings::IniFormat);
    other.setValue(QStringLiteral("Other.Thing/Library"), QStringLiteral("libother.so"));
  }
  ComponentService service(folder.path());
  QString error;
  ASSERT_TRUE(service.registerServer(folder.library(), &error)) << error.toStdString();
  ASSERT_TRUE(service.unregisterServer(folder.library(), &error)) << error.toStdString();
  EXPECT_TRUE(QFile::exists(folder.registry()));
  EXPECT_TRUE(service.registeredLibrary(kClass).isEmpty());
  EXPECT_EQ(service.registeredLibrary(QStringLiteral("Other.Thing")),
            QDir(folder.path()).filePath(QStringLiteral("libother.so")));
}

TEST(FlexoraComponent, CopiedProgramFolderKeepsWorking) {
  QTemporaryDir copy;
  ASSERT_TRUE(copy.isValid());
  for (const char *file : {"libflexora.so", "components.ini"}) {
    const QString name = QString::fromLatin1(file);
    ASSERT_TRUE(QFile::copy(QDir(componentFolder()).filePath(name), copy.filePath(name)));
  }
  ComponentService service(copy.path());
  QWidget host;
  QString error;
  auto instance = service.createControl(kClass, &host, &error);
  ASSERT_NE(instance, nullptr) << error.toStdString();
  EXPECT_EQ(instance->libraryPath(), copy.filePath(QStringLiteral("libflexora.so")));
}

TEST(FlexoraComponent, BuildRegistersTheLibraryInTheProgramFolder) {
  ComponentService service(QStringLiteral(OBX_PROGRAM_DIR));
  EXPECT_EQ(service.registeredLibrary(kClass), builtLibrary());
}

TEST(FlexoraComponent, MissingLibraryGivesNullAndAnError) {
  QTemporaryDir dir;
  {
    QSettings registry(dir.filePath(QStringLiteral("components.ini")), QSettings::IniFormat);
    registry.setValue(kClass + QStringLiteral("/Library"), QStringLiteral("libflexora.so"));
  }
  ComponentService service(dir.path());
  QWidget host;
  QString error;
  EXPECT_EQ(service.createControl(kClass, &host, &error), nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("not found"))) << error.toStdString();
  EXPECT_TRUE(host.children().isEmpty());

  // Not a library at all.
  QFile junk(dir.filePath(QStringLiteral("libflexora.so")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a library");
  junk.close();
  EXPECT_EQ(service.createControl(kClass, &host, &error), nullptr);
  EXPECT_TRUE(error.startsWith(QStringLiteral("cannot load"))) << error.toStdString();

  // No registry at all; an unknown class.
  ComponentService empty(dir.filePath(QStringLiteral("nowhere")));
  EXPECT_EQ(empty.createControl(kClass, &host, &error), nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("not registered"))) << error.toStdString();
  ComponentService registered(componentFolder());
  EXPECT_EQ(registered.createControl(QStringLiteral("Nothing.Here"), &host, &error), nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("not registered"))) << error.toStdString();

  // Registration of a missing library.
  EXPECT_FALSE(service.registerServer(dir.filePath(QStringLiteral("libmissing.so")), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("not found"))) << error.toStdString();
}

TEST(FlexoraComponent, LibraryWithoutTheEntryPointsIsRefused) {
  // Qt's own core library: a real library without DllGetClassObject.
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void *>(&qVersion), &info), 0);
  const QString qtCore = QFile::decodeName(info.dli_fname);
  QTemporaryDir dir;
  {
    QSettings registry(dir.filePath(QStringLiteral("components.ini")), QSettings::IniFormat);
    registry.setValue(kClass + QStringLiteral("/Library"), qtCore);
  }
  ComponentService service(dir.path());
  QWidget host;
  QString error;
  EXPECT_EQ(service.createControl(kClass, &host, &error), nullptr);
  EXPECT_TRUE(error.contains(QStringLiteral("lacks the entry point DllGetClassObject")))
      << error.toStdString();
  EXPECT_FALSE(service.registerServer(qtCore, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("DllRegisterServer"))) << error.toStdString();
}

TEST(FlexoraComponent, ScreenWithoutTheLibraryWorksWithoutResizing) {
  QTemporaryDir dir;
  ComponentService service(dir.path());
  QWidget host;
  ResizingControl control;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(control.create(service, &host));
  ResizingControl another;
  EXPECT_FALSE(another.create(service, &host));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.created());
  EXPECT_TRUE(control.error().contains(QStringLiteral("not registered")));
  control.Init(); // no-op
  EXPECT_EQ(control.widget(), nullptr);
  // Reported once per process.
  const std::string line = "Ombrix Tips: resizing disabled: ";
  EXPECT_EQ(err.find(line), 0u) << err;
  EXPECT_EQ(err.find(line, 1), std::string::npos) << err;
  host.resize(500, 400); // nothing happens, nothing breaks
}

TEST(FlexoraComponent, EntryPointsDirectly) {
  QLibrary library(componentLibrary());
  ASSERT_TRUE(library.load()) << library.errorString().toStdString();
  auto getClassObject =
      reinterpret_cast<flexora::DllGetClassObjectFn>(library.resolve("DllGetClassObject"));
  auto canUnloadNow =
      reinterpret_cast<flexora::DllCanUnloadNowFn>(library.resolve("DllCanUnloadNow"));
  ASSERT_TRUE(getClassObject && canUnloadNow);
  EXPECT_EQ(canUnloadNow(), flexora::S_OK_);

  void *object = reinterpret_cast<void *>(1);
  EXPECT_EQ(getClassObject("Other.Class", flexora::kControlInterface, &object),
            flexora::CLASS_E_CLASSNOTAVAILABLE_);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(getClassObject(nullptr, nullptr, &object), flexora::CLASS_E_CLASSNOTAVAILABLE_);
  EXPECT_EQ(getClassObject(flexora::kClassName, "IUnknownThing", &object), flexora::E_NOINTERFACE_);
  EXPECT_EQ(getClassObject(flexora::kClassName, nullptr, nullptr), flexora::E_POINTER_);

  ASSERT_EQ(getClassObject(flexora::kClassName, flexora::kFactoryInterface, &object),
            flexora::S_OK_);
  auto *factory = static_cast<flexora::IClassFactory *>(object);
  EXPECT_EQ(canUnloadNow(), flexora::S_FALSE_); // a class object is alive
  EXPECT_EQ(factory->CreateInstance(nullptr), nullptr);
  QWidget host;
  flexora::IFlexora *control = factory->CreateInstance(&host);
  ASSERT_NE(control, nullptr);
  factory->Release();
  EXPECT_EQ(canUnloadNow(), flexora::S_FALSE_); // a control is alive
  control->Init();
  control->Release();
  EXPECT_EQ(canUnloadNow(), flexora::S_OK_);
  library.unload();
}

} // namespace
