#include "document/HtmlWriter.h"

#include "document/DocumentContents.h"
#include "document/DocumentFile.h"
#include "document/Escaping.h"
#include "document/Pictures.h"
#include "tips/TipRows.h"

#include <QHash>

namespace document {

namespace {

const char *const kStyle = R"(<style>
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; max-width: 52em;
       margin: 2em auto; padding: 0 1em; color: #1a1a1a; background: #fff; line-height: 1.45; }
h1 { color: #b00000; }
h2 { border-bottom: 2px solid #b00000; padding-bottom: .2em; margin-top: 2em; }
h3 { margin: 1.4em 0 .3em; }
nav ol { padding-left: 1.6em; }
nav ol ol { list-style: none; padding-left: 1em; }
.saved { color: #555; font-size: .9em; }
.picture { max-width: 12em; max-height: 12em; border: 1px solid #ccc; }
.description { white-space: pre-wrap; overflow-wrap: anywhere; margin: 0; }
@media print { section.group { break-before: page; } nav { break-after: page; } }
</style>
)";

void writeEscaped(DocumentFile &out, QStringView text) {
  QString escaped;
  HtmlText().add(text, escaped);
  out.write(escaped);
}

void writeContentsTable(const DocumentContents &contents, DocumentFile &out) {
  out.write("<nav aria-labelledby=\"contents\">\n<h2 id=\"contents\">Contents</h2>\n<ol>\n");
  for (int g = 0; g < int(contents.groups.size()); ++g) {
    const DocumentGroup &group = contents.groups[size_t(g)];
    out.write(QStringLiteral("<li><a href=\"#%1\">").arg(groupAnchor(g)));
    writeEscaped(out, group.name);
    out.write("</a>");
    if (!group.subjects.empty()) {
      out.write("\n<ol>\n");
      for (int t = 0; t < int(group.subjects.size()); ++t) {
        out.write(QStringLiteral("<li><a href=\"#%1\">").arg(tipAnchor(g, t)));
        writeEscaped(out, group.subjects[size_t(t)].text);
        out.write("</a></li>\n");
      }
      out.write("</ol>\n");
    }
    out.write("</li>\n");
  }
  out.write("</ol>\n</nav>\n");
}

// The picture as a data: URI; the same file (the placeholder) is encoded once.
class EmbeddedPictures {
public:
  const QByteArray &uriOf(const QString &file) {
    auto found = uris_.find(file);
    if (found == uris_.end()) {
      QByteArray uri;
      if (const std::optional<PictureFile> picture = readPicture(file))
        uri = QByteArray("data:") + picture->kind.mimeType + ";base64," + picture->bytes.toBase64();
      found = uris_.insert(file, uri);
    }
    return *found;
  }

private:
  QHash<QString, QByteArray> uris_;
};

} // namespace

void writeHtml(const DocumentContents &contents, tips::TipRows &rows, DocumentFile &out,
               tips::WorkProgress &progress) {
  TipCounter counter(progress, contents.tipCount);
  out.write("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<meta name=\"generator\" content=\"Ombrix Tips\">\n<title>");
  writeEscaped(out, contents.title);
  out.write("</title>\n");
  out.write(kStyle);
  out.write("</head>\n<body>\n<header>\n<h1>");
  writeEscaped(out, contents.title);
  out.write("</h1>\n<p class=\"saved\">");
  writeEscaped(out, summaryLine(contents));
  out.write("</p>\n</header>\n");
  writeContentsTable(contents, out);

  EmbeddedPictures pictures;
  QString escaped;
  for (int g = 0; g < int(contents.groups.size()); ++g) {
    const DocumentGroup &group = contents.groups[size_t(g)];
    out.write(QStringLiteral("<section class=\"group\">\n<h2 id=\"%1\">").arg(groupAnchor(g)));
    writeEscaped(out, group.name);
    out.write("</h2>\n");
    if (const QByteArray &uri = pictures.uriOf(group.picture); !uri.isEmpty()) {
      out.write("<p><img class=\"picture\" alt=\"Picture of the group ");
      writeEscaped(out, group.name);
      out.write("\" src=\"");
      out.write(QLatin1String(uri));
      out.write("\"></p>\n");
    }
    for (int t = 0; t < int(group.subjects.size()); ++t) {
      const tips::ListEntry &tip = group.subjects[size_t(t)];
      out.write(QStringLiteral("<article>\n<h3 id=\"%1\">").arg(tipAnchor(g, t)));
      writeEscaped(out, tip.text);
      out.write("</h3>\n<p class=\"description\">");
      HtmlText description;
      rows.readDescription(tip.id, [&](QStringView piece) {
        escaped.clear();
        description.add(piece, escaped);
        out.write(escaped);
      });
      out.write("</p>\n</article>\n");
      counter.tipDone();
    }
    out.write("</section>\n");
  }
  out.write("</body>\n</html>\n");
}

} // namespace document
