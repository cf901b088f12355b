#pragma once
// The tips as a PDF laid out by Qt (QTextDocument onto QPdfWriter): A4, a table of contents
// with the page of each group and subject, each group on a new page with its picture, the
// page number at the foot of every page. Needs a QGuiApplication (fonts); the terminal
// command makes one on the offscreen platform when there is no display.

class QIODevice;

namespace tips {
class TipRows;
class WorkProgress;
} // namespace tips

namespace document {

struct DocumentContents;

// Writes the whole PDF to out. Throws DocumentError when it cannot be made.
void writePdf(const DocumentContents &contents, tips::TipRows &rows, QIODevice &out,
              tips::WorkProgress &progress);

} // namespace document
