#include "document/PdfWriter.h"

#include "document/DocumentContents.h"
#include "document/DocumentError.h"
#include "document/Escaping.h"
#include "document/Pictures.h"
#include "tips/TipRows.h"
#include "tips/WorkProgress.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

namespace document {

namespace {

constexpr int kResolution = 300; // dots per inch of the layout
constexpr qreal kPictureMillimetres = 40;

qreal pixels(qreal millimetres) { return millimetres / 25.4 * kResolution; }

// The text layout reads tab positions at the screen's resolution and scales them to the
// paint device's (Qt's default DPI: the primary screen's logical DPI, 100 without a
// screen); a place on the page is given in the units it reads.
qreal tabPosition(qreal devicePixels) {
  qreal dpi = 100;
  if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
    dpi = 96;
  else if (const QScreen *screen = QGuiApplication::primaryScreen())
    dpi = qRound(screen->logicalDotsPerInchY());
  return devicePixels * dpi / kResolution;
}

QTextCharFormat textFormat(qreal points, bool bold, const QColor &colour = Qt::black) {
  QTextCharFormat f;
  f.setFontPointSize(points);
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  f.setForeground(colour);
  return f;
}

// The document being laid out, with the places of its headings and of the page numbers
// that the table of contents shows for them.
class PdfLayout {
public:
  PdfLayout(const DocumentContents &contents, QPdfWriter &writer)
      : contents_(contents), pageRect_(writer.pageLayout().paintRectPixels(kResolution)) {
    doc_.documentLayout()->setPaintDevice(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    doc_.setDefaultFont(font);
    doc_.setPageSize(pageRect_.size());
    QTextFrameFormat root = doc_.rootFrame()->frameFormat();
    root.setMargin(0);
    root.setBottomMargin(footerHeight());
    doc_.rootFrame()->setFrameFormat(root);
  }

  QTextDocument &document() { return doc_; }
  qreal pageHeight() const { return doc_.pageSize().height(); }
  qreal pageWidth() const { return doc_.pageSize().width(); }
  qreal footerHeight() const { return pixels(12); }

  void build(tips::TipRows &rows, tips::WorkProgress &progress);
  // Fills the table of contents with the pages the headings fell on; again while filling it
  // moves them (it should not).
  void numberContents();

private:
  void addContentsTable(QTextCursor &cursor);
  void addPicture(QTextCursor &cursor, const QString &file);
  int pageOf(int blockNumber) const;

  const DocumentContents &contents_;
  QRectF pageRect_;
  QTextDocument doc_;
  std::vector<int> headings_;        // the block of each group and subject heading, in order
  std::vector<int> numberPlaces_;    // where each one's page number stands in the contents
  QHash<QString, QString> pictures_; // picture file -> its resource name; empty: none
};

void PdfLayout::addContentsTable(QTextCursor &cursor) {
  QTextBlockFormat heading;
  heading.setTopMargin(pixels(4));
  heading.setBottomMargin(pixels(2));
  cursor.insertBlock(heading, textFormat(14, true));
  cursor.insertText(QStringLiteral("Contents"));
  PlainText plain;
  for (const DocumentGroup &group : contents_.groups) {
    for (int line = -1; line < int(group.subjects.size()); ++line) {
      QTextBlockFormat entry;
      const qreal indent = line < 0 ? 0 : pixels(6);
      // The page number ends at the right margin: a right tab just inside the line.
      entry.setTabPositions(
          {QTextOption::Tab(tabPosition(pageWidth() - indent - 1), QTextOption::RightTab)});
      entry.setLeftMargin(indent);
      entry.setTopMargin(line < 0 ? pixels(1.5) : 0);
      cursor.insertBlock(entry, textFormat(10, line < 0));
      QString text;
      // One line each: a line break would make a block the page numbers do not expect.
      for (const QChar c : line < 0 ? group.name : group.subjects[size_t(line)].text)
        text += (c == QLatin1Char('\n') || c == QLatin1Char('\r')) ? QLatin1Char(' ') : c;
      QString shown;
      plain.add(text, shown);
      cursor.insertText(shown + QLatin1Char('\t'));
      numberPlaces_.push_back(cursor.position());
      cursor.insertText(QStringLiteral("0")); // the page, once the headings are laid out
    }
  }
}

void PdfLayout::addPicture(QTextCursor &cursor, const QString &file) {
  auto known = pictures_.constFind(file);
  if (known == pictures_.constEnd()) {
    QString name;
    QImage image;
    if (const std::optional<PictureFile> picture = readPicture(file);
        picture && image.loadFromData(picture->bytes) && !image.isNull()) {
      name = QStringLiteral("picture:%1").arg(pictures_.size());
      doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    known = pictures_.insert(file, name);
  }
  if (known->isEmpty())
    return;
  const QImage image = doc_.resource(QTextDocument::ImageResource, QUrl(*known)).value<QImage>();
  const qreal most = pixels(kPictureMillimetres);
  const qreal scale = std::min(most / image.width(), most / image.height());
  QTextImageFormat picture;
  picture.setName(*known);
  picture.setWidth(image.width() * scale);
  picture.setHeight(image.height() * scale);
  QTextBlockFormat block;
  block.setBottomMargin(pixels(2));
  cursor.insertBlock(block);
  cursor.insertImage(picture);
}

void PdfLayout::build(tips::TipRows &rows, tips::WorkProgress &progress) {
  TipCounter counter(progress, contents_.tipCount);
  QTextCursor cursor(&doc_);
  cursor.setBlockCharFormat(textFormat(20, true, QColor(0xb0, 0, 0)));
  cursor.insertText(contents_.title, textFormat(20, true, QColor(0xb0, 0, 0)));
  cursor.insertBlock(QTextBlockFormat(), textFormat(9, false, QColor(0x55, 0x55, 0x55)));
  cursor.insertText(summaryLine(contents_));
  addContentsTable(cursor);

  QTextBlockFormat groupHeading;
  groupHeading.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  groupHeading.setBottomMargin(pixels(3));
  QTextBlockFormat subjectHeading;
  subjectHeading.setTopMargin(pixels(4));
  subjectHeading.setBottomMargin(pixels(1));
  const QTextBlockFormat descriptionBlock;
  const QTextCharFormat groupText = textFormat(16, true, QColor(0xb0, 0, 0));
  const QTextCharFormat subjectText = textFormat(12, true);
  const QTextCharFormat descriptionText = textFormat(10, false);
  QString text;
  for (const DocumentGroup &group : contents_.groups) {
    cursor.insertBlock(groupHeading, groupText);
    headings_.push_back(cursor.blockNumber());
    text.clear();
    PlainText().add(group.name, text);
    cursor.insertText(text.replace(QLatin1Char('\n'), QLatin1Char(' ')), groupText);
    addPicture(cursor, group.picture);
    for (const tips::ListEntry &tip : group.subjects) {
      cursor.insertBlock(subjectHeading, subjectText);
      headings_.push_back(cursor.blockNumber());
      text.clear();
      PlainText().add(tip.text, text);
      cursor.insertText(text.replace(QLatin1Char('\n'), QLatin1Char(' ')), subjectText);
      cursor.insertBlock(descriptionBlock, descriptionText);
      PlainText description;
      rows.readDescription(tip.id, [&](QStringView piece) {
        text.clear();
        description.add(piece, text);
        cursor.insertText(text, descriptionText); // each '\n' a block of its own
      });
      counter.tipDone();
    }
  }
}

int PdfLayout::pageOf(int blockNumber) const {
  const QTextBlock block = doc_.findBlockByNumber(blockNumber);
  const QRectF r = doc_.documentLayout()->blockBoundingRect(block);
  return int(r.top() / pageHeight()) + 1;
}

void PdfLayout::numberContents() {
  for (int pass = 0; pass < 3; ++pass) {
    bool moved = false;
    QTextCursor cursor(&doc_);
    // From the last entry back, so that a number of another length moves no place still
    // to be filled.
    std::vector<int> pages(headings_.size());
    for (size_t i = 0; i < headings_.size(); ++i)
      pages[i] = pageOf(headings_[i]);
    std::vector<int> longer(headings_.size(), 0);
    for (size_t i = headings_.size(); i-- > 0;) {
      const QString shown = QString::number(pages[i]);
      cursor.setPosition(numberPlaces_[i]);
      cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      if (cursor.selectedText() != shown) {
        longer[i] = int(shown.size()) - int(cursor.selectedText().size());
        cursor.insertText(shown);
        moved = true;
      }
    }
    // The places after a number that grew or shrank moved with it.
    int shift = 0;
    for (size_t i = 0; i < headings_.size(); ++i) {
      numberPlaces_[i] += shift;
      shift += longer[i];
    }
    if (!moved)
      return;
  }
}

} // namespace

void writePdf(const DocumentContents &contents, tips::TipRows &rows, QIODevice &out,
              tips::WorkProgress &progress) {
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    throw DocumentError(QStringLiteral(
        "A PDF document cannot be made here: the program was started without its graphical "
        "part (fonts and pictures)."));
  QPdfWriter writer(&out);
  writer.setResolution(kResolution);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(20, 18, 20, 12), QPageLayout::Millimeter));
  writer.setTitle(contents.title);
  writer.setCreator(QStringLiteral("Ombrix Tips"));

  PdfLayout layout(contents, writer);
  layout.build(rows, progress);
  progress.checkpoint();
  layout.numberContents();

  QTextDocument &doc = layout.document();
  const int pages = doc.pageCount();
  progress.begin(QStringLiteral("pages"), pages);
  QPainter painter;
  if (!painter.begin(&writer))
    throw DocumentError(QStringLiteral("The PDF document cannot be begun."));
  QFont footer(QStringLiteral("DejaVu Sans"));
  footer.setPointSizeF(8);
  const qreal width = layout.pageWidth();
  const qreal height = layout.pageHeight();
  for (int page = 0; page < pages; ++page) {
    progress.checkpoint();
    if (page > 0 && !writer.newPage())
      throw DocumentError(QStringLiteral("The PDF document cannot be written."));
    const QRectF view(0, page * height, width, height - layout.footerHeight());
    painter.save();
    painter.translate(0, -view.top());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
    painter.setFont(footer);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.drawText(
        QRectF(0, height - layout.footerHeight() / 2, width, layout.footerHeight() / 2),
        Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("%1 of %2").arg(page + 1).arg(pages));
    progress.advance(page + 1);
  }
  if (!painter.end())
    throw DocumentError(QStringLiteral("The PDF document cannot be written."));
}

} // namespace document
