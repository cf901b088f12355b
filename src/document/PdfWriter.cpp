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

// Lengths in formats (margins, tab positions, picture sizes): the text layout reads them at
// Qt's default resolution (the screen's) and scales them to the device's, so they are given
// in those units; the scale is measured once on the writer.
class FormatLengths {
public:
  explicit FormatLengths(QPdfWriter &writer) {
    QTextDocument probe;
    QTextCursor cursor(&probe);
    QTextBlockFormat spaced;
    spaced.setTopMargin(1000);
    cursor.insertBlock(spaced);
    probe.documentLayout()->setPaintDevice(&writer);
    probe.setPageSize(QSizeF(pixels(100), pixels(100)));
    const QAbstractTextDocumentLayout *layout = probe.documentLayout();
    const qreal gap = layout->blockBoundingRect(probe.lastBlock()).top() -
                      layout->blockBoundingRect(probe.firstBlock()).bottom();
    if (gap > 0)
      scale_ = gap / 1000;
  }
  qreal mm(qreal millimetres) const { return pixels(millimetres) / scale_; }
  qreal fromPixels(qreal devicePixels) const { return devicePixels / scale_; }

private:
  qreal scale_ = 1;
};

QTextCharFormat textFormat(qreal points, bool bold, const QColor &colour = Qt::black) {
  QTextCharFormat f;
  f.setFontPointSize(points);
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  f.setForeground(colour);
  return f;
}

// Where the text stands on a page, in the layout's pixels: the page less its margins, and
// at its foot the room for the page number.
struct PageFrame {
  QSizeF size;
  FormatLengths lengths;
  qreal footer = pixels(12);

  // Lays the document out for the writer's pages; done once the document is whole, since
  // a document with a layout lays itself out again at every change.
  void layOut(QTextDocument &doc, QPdfWriter &writer) const {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setMargin(0);
    root.setBottomMargin(lengths.fromPixels(footer));
    doc.rootFrame()->setFrameFormat(root);
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(size);
  }
};

// The tips, each group from a new page, with the block of each heading kept for the table
// of contents.
class TipPages {
public:
  TipPages(const DocumentContents &contents, const FormatLengths &lengths)
      : contents_(contents), lengths_(lengths) {}

  QTextDocument &document() { return doc_; }
  void build(tips::TipRows &rows, tips::WorkProgress &progress);
  // The page (from 0) of each group and subject heading, in the order of the contents.
  std::vector<int> headingPages() const;

private:
  void addPicture(QTextCursor &cursor, const QString &file);

  const DocumentContents &contents_;
  const FormatLengths &lengths_;
  QTextDocument doc_;
  std::vector<int> headings_;        // the block of each group and subject heading, in order
  QHash<QString, QString> pictures_; // picture file -> its resource name; empty: none
};

void TipPages::addPicture(QTextCursor &cursor, const QString &file) {
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
  const qreal most = lengths_.mm(kPictureMillimetres);
  const qreal scale = std::min(most / image.width(), most / image.height());
  QTextImageFormat picture;
  picture.setName(*known);
  picture.setWidth(image.width() * scale);
  picture.setHeight(image.height() * scale);
  QTextBlockFormat block;
  block.setBottomMargin(lengths_.mm(2));
  cursor.insertBlock(block);
  cursor.insertImage(picture);
}

// A name or subject on one line.
QString oneLine(const QString &text) {
  QString shown;
  PlainText().add(text, shown);
  return shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

void TipPages::build(tips::TipRows &rows, tips::WorkProgress &progress) {
  TipCounter counter(progress, contents_.tipCount);
  QTextCursor cursor(&doc_);
  QTextBlockFormat groupHeading;
  groupHeading.setBottomMargin(lengths_.mm(3));
  QTextBlockFormat subjectHeading;
  subjectHeading.setTopMargin(lengths_.mm(4));
  subjectHeading.setBottomMargin(lengths_.mm(1));
  const QTextBlockFormat descriptionBlock;
  const QTextCharFormat groupText = textFormat(16, true, QColor(0xb0, 0, 0));
  const QTextCharFormat subjectText = textFormat(12, true);
  const QTextCharFormat descriptionText = textFormat(10, false);
  QString text;
  bool first = true;
  for (const DocumentGroup &group : contents_.groups) {
    if (first) {
      cursor.setBlockFormat(groupHeading); // the document's first block: a page of its own
      first = false;
    } else {
      groupHeading.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      cursor.insertBlock(groupHeading);
    }
    headings_.push_back(cursor.blockNumber());
    cursor.insertText(oneLine(group.name), groupText);
    addPicture(cursor, group.picture);
    for (const tips::ListEntry &tip : group.subjects) {
      cursor.insertBlock(subjectHeading, subjectText);
      headings_.push_back(cursor.blockNumber());
      cursor.insertText(oneLine(tip.text), subjectText);
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

std::vector<int> TipPages::headingPages() const {
  const qreal height = doc_.pageSize().height();
  std::vector<int> pages;
  pages.reserve(headings_.size());
  for (const int heading : headings_) {
    const QRectF r = doc_.documentLayout()->blockBoundingRect(doc_.findBlockByNumber(heading));
    pages.push_back(int(r.top() / height));
  }
  return pages;
}

// The title, the line under it and the table of contents, each group and subject with the
// page it begins on (pages empty: none yet, for a first count of the contents' pages).
void buildContents(QTextDocument &doc, const DocumentContents &contents, const PageFrame &frame,
                   const std::vector<int> &pages) {
  const FormatLengths &lengths = frame.lengths;
  QTextCursor cursor(&doc);
  const QTextCharFormat title = textFormat(20, true, QColor(0xb0, 0, 0));
  cursor.setBlockCharFormat(title);
  cursor.insertText(contents.title, title);
  cursor.insertBlock(QTextBlockFormat(), textFormat(9, false, QColor(0x55, 0x55, 0x55)));
  cursor.insertText(summaryLine(contents));
  QTextBlockFormat heading;
  heading.setTopMargin(lengths.mm(4));
  heading.setBottomMargin(lengths.mm(2));
  cursor.insertBlock(heading, textFormat(14, true));
  cursor.insertText(QStringLiteral("Contents"));
  size_t entry = 0;
  for (const DocumentGroup &group : contents.groups) {
    for (int line = -1; line < int(group.subjects.size()); ++line, ++entry) {
      QTextBlockFormat format;
      const qreal indent = line < 0 ? 0 : lengths.mm(6);
      // The page number ends at the right margin: a right tab just inside the line.
      format.setTabPositions({QTextOption::Tab(lengths.fromPixels(frame.size.width()) - indent - 1,
                                               QTextOption::RightTab)});
      format.setLeftMargin(indent);
      format.setTopMargin(line < 0 ? lengths.mm(1.5) : 0);
      cursor.insertBlock(format, textFormat(10, line < 0));
      cursor.insertText(oneLine(line < 0 ? group.name : group.subjects[size_t(line)].text) +
                        QLatin1Char('\t') +
                        (entry < pages.size() ? QString::number(pages[entry]) : QString()));
    }
  }
}

// Paints the pages of a laid out document, each with its number ("3 of 20") at its foot.
void paintPages(QTextDocument &doc, const PageFrame &frame, QPdfWriter &writer, QPainter &painter,
                int firstNumber, int total, tips::WorkProgress &progress) {
  QFont footer(QStringLiteral("DejaVu Sans"));
  footer.setPointSizeF(8);
  const qreal width = frame.size.width();
  const qreal height = frame.size.height();
  for (int page = 0; page < doc.pageCount(); ++page) {
    progress.checkpoint();
    const int number = firstNumber + page;
    if (number > 1 && !writer.newPage())
      throw DocumentError(QStringLiteral("The PDF document cannot be written."));
    const QRectF view(0, page * height, width, height - frame.footer);
    painter.save();
    painter.translate(0, -view.top());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
    painter.setFont(footer);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.drawText(QRectF(0, height - frame.footer / 2, width, frame.footer / 2),
                     Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 of %2").arg(number).arg(total));
    progress.advance(number);
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
  const PageFrame frame{writer.pageLayout().paintRectPixels(kResolution).size(),
                        FormatLengths(writer)};

  // The tips first: the contents name their pages.
  TipPages tips(contents, frame.lengths);
  tips.build(rows, progress);
  progress.checkpoint();
  frame.layOut(tips.document(), writer);
  const std::vector<int> tipPages = tips.headingPages();
  const int tipPageCount = contents.groups.empty() ? 0 : tips.document().pageCount();

  // The contents come before them, so each page number counts the contents' own pages.
  // Page numbers do not change the contents' lines (they stand after a tab), so a second
  // laying out confirms the first.
  auto contentsPages = std::make_unique<QTextDocument>();
  buildContents(*contentsPages, contents, frame, {});
  frame.layOut(*contentsPages, writer);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int before = contentsPages->pageCount();
    std::vector<int> numbers(tipPages);
    for (int &n : numbers)
      n += before + 1;
    contentsPages = std::make_unique<QTextDocument>();
    buildContents(*contentsPages, contents, frame, numbers);
    frame.layOut(*contentsPages, writer);
    if (contentsPages->pageCount() == before)
      break;
  }

  const int contentsPageCount = contentsPages->pageCount();
  const int total = contentsPageCount + tipPageCount;
  progress.begin(QStringLiteral("pages"), total);
  QPainter painter;
  if (!painter.begin(&writer))
    throw DocumentError(QStringLiteral("The PDF document cannot be begun."));
  paintPages(*contentsPages, frame, writer, painter, 1, total, progress);
  if (tipPageCount > 0)
    paintPages(tips.document(), frame, writer, painter, contentsPageCount + 1, total, progress);
  if (!painter.end())
    throw DocumentError(QStringLiteral("The PDF document cannot be written."));
}

} // namespace document
