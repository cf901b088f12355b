#pragma once
// The tips saved as a document to print, share or publish: every group, or one, with its
// picture, its subjects as headings and their descriptions, after a table of contents.
// HTML (one file that stands alone), Markdown (NAME.md and the folder NAME_pictures beside
// it) or PDF. The document is written beside its place and renamed over it when whole, so
// a failure or a stop leaves any earlier file as it was.

#include <QString>
#include <optional>

#include "document/DocumentError.h"

namespace tips {
class ProgramPaths;
class WorkProgress;
} // namespace tips

namespace document {

enum class Format { Html, Markdown, Pdf };

// "html", "md" (also "markdown"), "pdf", in any letter case; none for anything else.
std::optional<Format> formatNamed(const QString &name);
// The file name suffix of a format, without the dot ("html", "md", "pdf").
QString suffixOf(Format format);

struct DocumentRequest {
  Format format = Format::Html;
  QString groupName; // empty: every group
  QString toFile;    // the document's path
};

// Writes the document of the tip database and pictures that paths name. Throws
// DocumentError (what(): a message in words for the user) on failure; tips::WorkCancelled
// when stopped. A PDF needs a QGuiApplication.
void saveTipsDocument(const tips::ProgramPaths &paths, const DocumentRequest &request,
                      tips::WorkProgress &progress);

} // namespace document
