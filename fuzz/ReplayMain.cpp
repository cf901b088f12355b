// Runs a fuzz target over files instead of under libFuzzer: each argument is a file, or a
// folder whose files are each one input. The ordinary build replays every target's seed
// corpus this way as a test (fuzz_seeds_*), so a change that breaks a target's checks
// fails the suite without a clang build; scripts/fuzz runs the real fuzzer for long runs.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
  QStringList inputs;
  for (int i = 1; i < argc; ++i) {
    const QString path = QFile::decodeName(argv[i]);
    if (QFileInfo(path).isDir()) {
      const QDir dir(path);
      for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        inputs << dir.filePath(name);
    } else {
      inputs << path;
    }
  }
  if (inputs.isEmpty()) {
    std::fprintf(stderr, "usage: %s FILE|FOLDER...: no input found\n", argv[0]);
    return 2;
  }
  for (const QString &input : inputs) {
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
      return 2;
    }
    const QByteArray data = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()),
                           size_t(data.size()));
  }
  std::printf("%lld inputs replayed\n", static_cast<long long>(inputs.size()));
  return 0;
}
