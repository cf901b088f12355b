#include "document/MarkdownWriter.h"

#include "document/DocumentContents.h"
#include "document/DocumentFile.h"
#include "document/Escaping.h"
#include "document/PictureFolder.h"
#include "tips/TipRows.h"

#include <QUrl>

namespace document {

namespace {

QString inlineText(const QString &text) { return markdownEscaped(text); }

// A heading with an anchor of our own: renderers make ids from the text differently.
void writeHeading(DocumentFile &out, const char *level, const QString &anchor,
                  const QString &text) {
  out.write(QLatin1String(level));
  out.write(QStringLiteral(" <a id=\"%1\"></a>").arg(anchor));
  out.write(inlineText(text));
  out.write("\n\n");
}

QString linkTarget(const QString &folder, const QString &file) {
  return QString::fromLatin1(QUrl::toPercentEncoding(folder) + '/' + QUrl::toPercentEncoding(file));
}

} // namespace

void writeMarkdown(const DocumentContents &contents, tips::TipRows &rows, DocumentFile &out,
                   PictureFolder &pictures, tips::WorkProgress &progress) {
  TipCounter counter(progress, contents.tipCount);
  out.write("# ");
  out.write(inlineText(contents.title));
  out.write("\n\n");
  out.write(inlineText(summaryLine(contents)));
  out.write("\n\n## Contents\n\n");
  for (int g = 0; g < int(contents.groups.size()); ++g) {
    const DocumentGroup &group = contents.groups[size_t(g)];
    out.write(QStringLiteral("- [%1](#%2)\n").arg(inlineText(group.name), groupAnchor(g)));
    for (int t = 0; t < int(group.subjects.size()); ++t)
      out.write(QStringLiteral("  - [%1](#%2)\n")
                    .arg(inlineText(group.subjects[size_t(t)].text), tipAnchor(g, t)));
  }
  out.write("\n");

  QString escaped;
  for (int g = 0; g < int(contents.groups.size()); ++g) {
    const DocumentGroup &group = contents.groups[size_t(g)];
    writeHeading(out, "##", groupAnchor(g), group.name);
    if (const QString picture = pictures.add(group.picture); !picture.isEmpty())
      out.write(QStringLiteral("![Picture of the group %1](%2)\n\n")
                    .arg(inlineText(group.name), linkTarget(pictures.folderName(), picture)));
    for (int t = 0; t < int(group.subjects.size()); ++t) {
      const tips::ListEntry &tip = group.subjects[size_t(t)];
      writeHeading(out, "###", tipAnchor(g, t), tip.text);
      MarkdownText description(MarkdownText::Lines::Kept);
      bool any = false;
      rows.readDescription(tip.id, [&](QStringView piece) {
        escaped.clear();
        description.add(piece, escaped);
        out.write(escaped);
        any = any || !escaped.isEmpty();
      });
      if (any)
        out.write("\n\n");
      counter.tipDone();
    }
  }
}

} // namespace document
