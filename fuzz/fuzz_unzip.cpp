// Fuzzes the unzip binding (tips/UnzipLink.h) on arbitrary archive bytes. Each input is
// written as an archive into a fresh folder and unpacked into a target folder inside it,
// once into the empty target and, when that worked, once more over what it wrote (the
// overwrite question answered without a screen). Faults besides crashes and sanitizer
// reports, each of which stops the run:
// - anything outside the target folder besides the archive itself, or a link inside it
//   that leads out of it;
// - a failed unpacking that leaves a file in the target folder it started empty;
// - a success that reports a written file which is not a file below the target folder.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QString>

#include "FuzzSupport.h"
#include "platform/FileService.h"
#include "tips/UnzipLink.h"

namespace {

// Answers the overwrite question as the bytes of the input say, without a screen.
class ScriptedUser : public tips::UnzipUser {
public:
  explicit ScriptedUser(unsigned seed) : seed_(seed) {}
  int askReplace(const QString &, const QString &) override {
    static const int answers[] = {tips::kReplaceYes, tips::kReplaceNo, tips::kReplaceNone};
    return answers[(seed_++) % 3];
  }
  void showFailure(const QString &) override {}

private:
  unsigned seed_;
};

bool isBelow(const QString &path, const QString &folder) {
  return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

[[noreturn]] void finding(const char *what, const QString &path) {
  std::fprintf(stderr, "fuzz_unzip: %s: %s\n", what, qPrintable(path));
  std::abort();
}

// Everything below root: only the archive and the target tree; no link inside the target
// that leads out of it (or anywhere, when it cannot be resolved).
void checkConfined(const QString &root, const QString &archive, const QString &target) {
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path == archive)
      continue;
    if (!isBelow(path, target))
      finding("written outside the target folder", path);
    const QFileInfo info(path);
    if (info.isSymLink()) {
      const QString to = QDir::cleanPath(QDir(info.absolutePath())
                                             .absoluteFilePath(info.symLinkTarget().isEmpty()
                                                                   ? QFile::symLinkTarget(path)
                                                                   : info.symLinkTarget()));
      if (!isBelow(to, target))
        finding("a link that leads out of the target folder", path);
    }
  }
}

bool holdsFiles(const QString &folder) {
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  return it.hasNext();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const FileService files(QDir::homePath());
  const QString root = fuzz::scratchRoot() + QStringLiteral("/run");
  const QString archive = root + QStringLiteral("/package.zip");
  const QString target = root + QStringLiteral("/OBXTemp");
  fuzz::freshFolder(root);
  fuzz::writeFile(archive, data, size);

  // The options follow from the input, so that a finding replays as it was found.
  unsigned seed = 0;
  for (size_t i = 0; i < size; i += 61)
    seed = seed * 31 + data[i];
  seed += unsigned(size);
  const int keepFolderNames = seed & 1;

  tips::UnzipLink::Limits limits;
  limits.maxBytes = 1 << 20;
  limits.maxEntries = 64;
  ScriptedUser user(seed >> 1);
  tips::UnzipLink unzip(files, &user);
  unzip.setLimits(limits);

  const int code = unzip.UnzipToFolder(archive, target, 0, 0, 0, keepFolderNames, 0, 0);
  checkConfined(root, archive, target);
  if (code != tips::UnzipLink::kOk && holdsFiles(target))
    finding("a failed unpacking left files behind", target);
  for (const QString &path : unzip.written()) {
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || !isBelow(info.absoluteFilePath(), target))
      finding("a reported file is no plain file below the target folder", path);
  }

  if (code == tips::UnzipLink::kOk) {
    // Again over what is there: the overwrite question, the replacing of existing files.
    const int prompt = (seed >> 3) & 1;
    unzip.UnzipToFolder(archive, target, prompt, 1, 0, keepFolderNames, 0, 0);
    checkConfined(root, archive, target);
    // A listing with a pattern: the include and exclude matching.
    unzip.includeList[0] = QStringLiteral("*.mdb");
    unzip.excludeList[0] = QStringLiteral("?*/*");
    unzip.UnzipToFolder(archive, target, 0, 0, 1, keepFolderNames, 1, 1);
    checkConfined(root, archive, target);
  }
  fuzz::freshFolder(root);
  return 0;
}
