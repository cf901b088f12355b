#pragma once
// The tips as Markdown: headings for the groups and subjects with anchors of their own, a
// table of contents linking to them, and the group pictures in a folder beside the file,
// linked relatively. Every text is escaped (Escaping.h), so nothing typed becomes markup.

namespace tips {
class TipRows;
class WorkProgress;
} // namespace tips

namespace document {

class DocumentFile;
class PictureFolder;
struct DocumentContents;

void writeMarkdown(const DocumentContents &contents, tips::TipRows &rows, DocumentFile &out,
                   PictureFolder &pictures, tips::WorkProgress &progress);

} // namespace document
