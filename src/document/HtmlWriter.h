#pragma once
// The tips as one HTML5 page that stands alone: the style inline, each group's picture
// embedded as a data: URI, no script. The table of contents links to each group and
// subject; each group begins a new page when printed.

namespace tips {
class TipRows;
class WorkProgress;
} // namespace tips

namespace document {

class DocumentFile;
struct DocumentContents;

void writeHtml(const DocumentContents &contents, tips::TipRows &rows, DocumentFile &out,
               tips::WorkProgress &progress);

} // namespace document
