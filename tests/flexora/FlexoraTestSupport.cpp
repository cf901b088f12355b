#include "FlexoraTestSupport.h"

#include "platform/components/ComponentService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace flexora_test {
namespace {

std::unique_ptr<QTemporaryDir> g_folder;

class ComponentFolderEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    g_folder = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(g_folder->isValid());
    ASSERT_TRUE(QFile::exists(builtLibrary())) << builtLibrary().toStdString();
    ASSERT_TRUE(QFile::copy(builtLibrary(), componentLibrary()));
    ComponentService service(componentFolder());
    QString error;
    ASSERT_TRUE(service.registerServer(componentLibrary(), &error)) << error.toStdString();
  }
  void TearDown() override { g_folder.reset(); }
};

[[maybe_unused]] ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new ComponentFolderEnvironment);

} // namespace

QString componentFolder() { return g_folder ? g_folder->path() : QString(); }
QString componentLibrary() {
  return QDir(componentFolder()).filePath(QStringLiteral("libflexora.so"));
}
QString builtLibrary() {
  return QDir(QStringLiteral(OBX_PROGRAM_DIR)).filePath(QStringLiteral("libflexora.so"));
}

} // namespace flexora_test
