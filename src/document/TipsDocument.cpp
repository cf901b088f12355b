#include "document/TipsDocument.h"

#include "document/DocumentContents.h"
#include "document/DocumentFile.h"
#include "document/HtmlWriter.h"
#include "document/MarkdownWriter.h"
#include "document/PdfWriter.h"
#include "document/PictureFolder.h"
#include "platform/files/FileService.h"
#include "store/StoreError.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"
#include "tips/TipRows.h"
#include "tips/UserMessage.h"
#include "tips/WorkProgress.h"

#include <QFileInfo>

namespace document {

std::optional<Format> formatNamed(const QString &name) {
  const QString n = name.trimmed().toLower();
  if (n == QLatin1String("html"))
    return Format::Html;
  if (n == QLatin1String("md") || n == QLatin1String("markdown"))
    return Format::Markdown;
  if (n == QLatin1String("pdf"))
    return Format::Pdf;
  return std::nullopt;
}

QString suffixOf(Format format) {
  switch (format) {
  case Format::Markdown:
    return QStringLiteral("md");
  case Format::Pdf:
    return QStringLiteral("pdf");
  case Format::Html:
    break;
  }
  return QStringLiteral("html");
}

namespace {

void write(const tips::ProgramPaths &paths, const DocumentRequest &request,
           tips::WorkProgress &progress) {
  if (request.toFile.trimmed().isEmpty())
    throw DocumentError(QStringLiteral("No file was named for the document."));
  const QString target = QFileInfo(request.toFile).absoluteFilePath();
  // The rows only read; no tip is written, so no listener.
  const tips::Clock clock;
  tips::TipRows rows(paths.tipDatabase(), clock, nullptr);
  const DocumentContents contents = readContents(rows, paths, request.groupName);
  DocumentFile out(target);
  switch (request.format) {
  case Format::Html:
    writeHtml(contents, rows, out, progress);
    break;
  case Format::Markdown: {
    PictureFolder pictures(target);
    writeMarkdown(contents, rows, out, pictures, progress);
    progress.checkpoint();
    progress.setCancellable(false);
    out.commit();
    pictures.keep();
    return;
  }
  case Format::Pdf:
    writePdf(contents, rows, out.device(), progress);
    break;
  }
  progress.checkpoint();
  progress.setCancellable(false);
  out.commit();
}

} // namespace

void saveTipsDocument(const tips::ProgramPaths &paths, const DocumentRequest &request,
                      tips::WorkProgress &progress) {
  try {
    write(paths, request, progress);
  } catch (const store::StoreError &e) {
    throw DocumentError(QStringLiteral("The tips cannot be read for the document.\r\n\r\n") +
                        tips::userMessage(e));
  } catch (const FileError &e) {
    throw DocumentError(tips::userMessage(e));
  }
}

} // namespace document
