// Fuzzes the unzip binding (tips/UnzipLink.h). Each input is unpacked twice over: its
// bytes as the archive itself (damaged archives, the zip library's reading), and an
// archive built from it with the zip library (the binding's own handling of names, links,
// folders and sizes, which a mutated archive rarely reaches past the library's checksums).
// Each archive goes into a fresh folder and is unpacked into a target folder inside it,
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
#include <algorithm>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>
#include <zip.h>

#include "FuzzSupport.h"
#include "exchange/UnzipLink.h"
#include "platform/files/FileService.h"

namespace {

// Answers the overwrite question as the bytes of the input say, without a screen.
class ScriptedUser : public exchange::UnzipUser {
public:
  explicit ScriptedUser(unsigned seed) : seed_(seed) {}
  int askReplace(const QString &, const QString &) override {
    static const int answers[] = {exchange::kReplaceYes, exchange::kReplaceNo,
                                  exchange::kReplaceNone};
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

// Every file below the folder (links as their targets' names) with its bytes.
std::map<QString, QByteArray> snapshot(const QString &folder) {
  std::map<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    files[path] = info.isSymLink() ? QFile::encodeName(info.symLinkTarget()) : fuzz::readFile(path);
  }
  return files;
}

// An archive built from the input, read as records:
//   flags, name length, name, data length, data, repeat count
// flags: 1 a link (a Unix link's mode), 2 a folder entry, 4 stored rather than deflated,
// 8 a Unix file mode, 16 made on another system. The data is repeated (count + 1) times,
// so that a few bytes can stand for a member larger than the limit.
bool buildArchive(const QString &path, const uint8_t *data, size_t size) {
  int error = 0;
  zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!za)
    fuzz::harnessFailure("cannot create an archive", path);
  std::vector<std::string> contents; // zip_source_buffer keeps pointers until zip_close
  contents.reserve(size);
  size_t at = 0;
  auto byte = [&]() -> uint8_t { return at < size ? data[at++] : 0; };
  auto bytes = [&](size_t n) {
    n = std::min(n, size - at);
    std::string out(reinterpret_cast<const char *>(data + at), n);
    at += n;
    return out;
  };
  while (at < size) {
    const uint8_t flags = byte();
    const std::string name = bytes(byte());
    std::string piece = bytes(byte());
    const int repeat = byte() + 1;
    if (name.empty() || name.find('\0') != std::string::npos)
      continue;
    zip_int64_t index;
    if (flags & 2) {
      index = zip_dir_add(za, name.c_str(), ZIP_FL_ENC_GUESS);
    } else {
      std::string content;
      for (int i = 0; i < repeat; ++i)
        content += piece;
      contents.push_back(std::move(content));
      zip_source_t *source =
          zip_source_buffer(za, contents.back().data(), contents.back().size(), 0);
      if (!source)
        continue;
      index = zip_file_add(za, name.c_str(), source, ZIP_FL_ENC_GUESS);
      if (index < 0) {
        zip_source_free(source);
        continue;
      }
      if (flags & 4)
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    if (index < 0)
      continue;
    const zip_uint8_t system = (flags & 16) ? ZIP_OPSYS_DOS : ZIP_OPSYS_UNIX;
    if (flags & 1)
      zip_file_set_external_attributes(za, zip_uint64_t(index), 0, system,
                                       zip_uint32_t(S_IFLNK | 0777) << 16);
    else if (flags & 8)
      zip_file_set_external_attributes(za, zip_uint64_t(index), 0, system,
                                       zip_uint32_t(((flags & 2) ? S_IFDIR : S_IFREG) | 0644)
                                           << 16);
  }
  if (zip_close(za) != 0) {
    zip_discard(za);
    return false;
  }
  return true;
}

// Unpacks the archive at root/package.zip into root/OBXTemp and checks what it left.
void unpackAndCheck(const QString &root, const uint8_t *data, size_t size) {
  static const FileService files(QDir::homePath());
  const QString archive = root + QStringLiteral("/package.zip");
  const QString target = root + QStringLiteral("/OBXTemp");

  // The options follow from the input, so that a finding replays as it was found.
  unsigned seed = 0;
  for (size_t i = 0; i < size; i += 61)
    seed = seed * 31 + data[i];
  seed += unsigned(size);
  const int keepFolderNames = seed & 1;

  exchange::UnzipLink::Limits limits;
  limits.maxBytes = 1 << 20;
  limits.maxEntries = 64;
  ScriptedUser user(seed >> 1);
  exchange::UnzipLink unzip(files, &user);
  unzip.setLimits(limits);

  const int code = unzip.UnzipToFolder(archive, target, 0, 0, 0, keepFolderNames, 0, 0);
  checkConfined(root, archive, target);
  if (code != exchange::UnzipLink::kOk && holdsFiles(target))
    finding("a failed unpacking left files behind", target);
  for (const QString &path : unzip.written()) {
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || !isBelow(info.absoluteFilePath(), target))
      finding("a reported file is no plain file below the target folder", path);
  }

  if (code == exchange::UnzipLink::kOk) {
    // Again over what is there: the overwrite question, the replacing of existing files.
    const int prompt = (seed >> 3) & 1;
    const std::map<QString, QByteArray> before = snapshot(target);
    if (unzip.UnzipToFolder(archive, target, prompt, 1, 0, keepFolderNames, 0, 0) !=
            exchange::UnzipLink::kOk &&
        snapshot(target) != before)
      finding("a failed unpacking did not leave the files it replaced as they were", target);
    checkConfined(root, archive, target);
    // A listing with a pattern: the include and exclude matching.
    unzip.includeList[0] = QStringLiteral("*.mdb");
    unzip.excludeList[0] = QStringLiteral("?*/*");
    unzip.UnzipToFolder(archive, target, 0, 0, 1, keepFolderNames, 1, 1);
    checkConfined(root, archive, target);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString root = fuzz::scratchRoot() + QStringLiteral("/run");
  const QString archive = root + QStringLiteral("/package.zip");

  fuzz::freshFolder(root);
  fuzz::writeFile(archive, data, size);
  unpackAndCheck(root, data, size);

  fuzz::freshFolder(root);
  if (buildArchive(archive, data, size))
    unpackAndCheck(root, data, size);

  fuzz::freshFolder(root);
  return 0;
}
