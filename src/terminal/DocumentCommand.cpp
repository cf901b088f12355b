#include "terminal/DocumentCommand.h"

#include "document/TipsDocument.h"
#include "terminal/Site.h"
#include "tips/WorkProgress.h"

#include <QDir>
#include <QFileInfo>

namespace terminal {

namespace {

const QString kDocument = QStringLiteral("document");

} // namespace

int runDocument(const CommandArguments &arguments, Site &site) {
  const std::optional<QString> to = arguments.value(QStringLiteral("--to"));
  if (!to || to->isEmpty()) {
    printError(kDocument, QStringLiteral("say where to save the document: --to FILE"));
    return kUsage;
  }
  const QString target = QDir::cleanPath(QFileInfo(*to).absoluteFilePath());
  // Without --format, the file's suffix tells it ("tips.pdf").
  const QString formatName =
      arguments.value(QStringLiteral("--format")).value_or(QFileInfo(target).suffix());
  const std::optional<document::Format> format = document::formatNamed(formatName);
  if (!format) {
    printError(kDocument,
               formatName.isEmpty()
                   ? QStringLiteral("say which kind of document: --format html, md or pdf")
                   : QStringLiteral("unknown format '%1': html, md or pdf").arg(formatName));
    return kUsage;
  }
  const QString group = arguments.value(QStringLiteral("--group")).value_or(QString());
  try {
    document::saveTipsDocument(site.paths(), {*format, group, target}, tips::noProgress());
  } catch (const document::DocumentError &e) {
    printError(kDocument, e.message());
    return kFailed;
  }
  printOut(QStringLiteral("Saved the tips as %1\n").arg(target).toUtf8());
  return kDone;
}

} // namespace terminal
