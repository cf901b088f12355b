// Tips saved as a document: text shown as typed in each format, one group or all, pictures
// embedded or beside the file, old files kept on failure, the PDF read back.

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "document/Escaping.h"
#include "document/TipsDocument.h"
#include "platform/files/FileService.h"
#include "store/Schema.h"
#include "tips/Clock.h"
#include "tips/ProgramPaths.h"
#include "tips/TipBook.h"

namespace {

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// Text a user may type, each piece something a document would read as markup.
const QString kTricky = "<script>alert('x & y')</script> AT&T \"quoted\"\n"
                        "# not a heading\n"
                        "1. not a list\n"
                        "- not a bullet\n"
                        "| a | b |\n"
                        "`code` *bold* _it_ [x](y) ~~gone~~ $x$ a\\b\n"
                        "\n"
                        "  indented\r\n"
                        "<b>bold?</b> --dash\r"
                        "last";

QByteArray readAll(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// The text of an HTML fragment as a browser shows it: the references of HtmlText undone.
QString htmlText(QString html) {
  html.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&#39;", "'");
  return html.replace("&amp;", "&");
}

// Stops the work after so many tips.
class StopAfter : public tips::WorkProgress {
public:
  explicit StopAfter(qint64 tips) : tips_(tips) {}
  void begin(const QString &, qint64) override {}
  void advance(qint64 done) override { done_ = done; }
  void setCancellable(bool) override {}
  bool stopRequested() const override { return done_ >= tips_; }

private:
  qint64 tips_;
  qint64 done_ = 0;
};

class Document : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString root = dir.path() + "/program";
  QString out = dir.path() + "/out";
  FileService files{dir.path() + "/home"};
  tips::ProgramPaths paths{root, files};
  tips::Clock clock;
  std::unique_ptr<tips::TipBook> book;
  QByteArray png;

  void SetUp() override {
    QDir().mkpath(root + "/images");
    QDir().mkpath(out);
    QImage placeholder(8, 8, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    placeholder.save(root + "/images/0.jpg", "JPEG");
    store::createDatabase(paths.tipDatabase(), store::DatabaseKind::TipDatabase);
    book = std::make_unique<tips::TipBook>(paths, files, clock, nullptr);
    // "banana" has a picture of its own, a PNG; "Apple & <Pear>" shows the placeholder.
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    writeFile(dir.path() + "/red.png", png);
    const qint32 banana =
        book->addGroup({"banana", "Peel `first`", kTricky, dir.path() + "/red.png"}).groupId;
    book->rows().insertTip(banana, "Zest", "From the skin.", tips::Origin::Local);
    book->rows().insertTip(banana, "apricot *not* bold", "Second line\nthird", tips::Origin::Local);
    book->addGroup({"Apple & <Pear>", "# Core", "One\n\nTwo", {}});
    book->close();
  }

  QString save(document::Format format, const QString &name, const QString &group = {},
               tips::WorkProgress &progress = tips::noProgress()) {
    const QString path = out + "/" + name;
    document::saveTipsDocument(paths, {format, group, path}, progress);
    return path;
  }
};

TEST_F(Document, TextShowsAsTypedInEveryFormat) {
  // HTML: the description's text content is exactly what was typed, no tag of its own.
  const QString html = QString::fromUtf8(readAll(save(document::Format::Html, "t.html")));
  EXPECT_FALSE(html.contains("<script")) << "typed markup must not reach the page";
  EXPECT_FALSE(html.contains("<b>bold"));
  const QRegularExpression paragraph("<p class=\"description\">(.*?)</p>",
                                     QRegularExpression::DotMatchesEverythingOption);
  QStringList descriptions;
  for (const auto &m : paragraph.globalMatch(html))
    descriptions << htmlText(m.captured(1));
  QString typed = kTricky;
  typed.replace("\r\n", "\n").replace('\r', '\n');
  EXPECT_TRUE(descriptions.contains(typed)) << descriptions.join("\n----\n").toStdString();
  EXPECT_TRUE(html.contains(">Apple &amp; &lt;Pear&gt;</a>"));
  EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));

  // Markdown: every markup character escaped, each line a line of its own.
  using document::markdownEscaped;
  using Lines = document::MarkdownText::Lines;
  EXPECT_EQ(markdownEscaped(kTricky, Lines::Kept),
            "\\<script\\>alert('x \\& y')\\</script\\> AT\\&T \"quoted\"\\\n"
            "\\# not a heading\\\n"
            "1\\. not a list\\\n"
            "\\- not a bullet\\\n"
            "\\| a \\| b \\|\\\n"
            "\\`code\\` \\*bold\\* \\_it\\_ \\[x\\](y) \\~\\~gone\\~\\~ \\$x\\$ a\\\\b\\\n"
            "&#160;\\\n"
            "&#160;&#160;indented\\\n"
            "\\<b\\>bold?\\</b\\> -\\-dash\\\n"
            "last");
  EXPECT_EQ(markdownEscaped(u"a\nb"), "a b"); // a heading or link stays one line
  EXPECT_EQ(markdownEscaped(QString("x") + QChar(0) + QChar(0xD800)), "x\uFFFD\uFFFD");
  const QString md = QString::fromUtf8(readAll(save(document::Format::Markdown, "t.md")));
  EXPECT_TRUE(md.contains(markdownEscaped(kTricky, Lines::Kept)));
  EXPECT_TRUE(md.contains("### <a id=\"g1-t1\"></a>\\# Core\n"));
  EXPECT_TRUE(md.contains("  - [apricot \\*not\\* bold](#g2-t1)\n"));
}

TEST_F(Document, OneGroupOrEveryGroupInTheMainScreensOrder) {
  const QString all = QString::fromUtf8(readAll(save(document::Format::Markdown, "all.md")));
  // Groups and subjects sorted for a reader, case ignored, as the main screen lists them.
  const qsizetype apple = all.indexOf("## <a id=\"g1\"></a>Apple \\& \\<Pear\\>");
  const qsizetype banana = all.indexOf("## <a id=\"g2\"></a>banana");
  const qsizetype apricot = all.indexOf("### <a id=\"g2-t1\"></a>apricot");
  const qsizetype peel = all.indexOf("### <a id=\"g2-t2\"></a>Peel \\`first\\`");
  const qsizetype zest = all.indexOf("### <a id=\"g2-t3\"></a>Zest");
  EXPECT_TRUE(apple > 0 && apple < banana && banana < apricot && apricot < peel && peel < zest)
      << all.toStdString();
  EXPECT_TRUE(all.contains("- [banana](#g2)\n"));

  // One group, named in another case with blanks around.
  const QString one =
      QString::fromUtf8(readAll(save(document::Format::Html, "one.html", "  BANANA ")));
  EXPECT_TRUE(one.contains("<title>Ombrix Tips: banana</title>"));
  EXPECT_TRUE(one.contains("From the skin."));
  EXPECT_FALSE(one.contains("Pear"));
  EXPECT_FALSE(one.contains("Core"));

  try {
    save(document::Format::Html, "none.html", "Cherry");
    ADD_FAILURE() << "a missing group must be refused";
  } catch (const document::DocumentError &e) {
    EXPECT_EQ(e.message(), "There is no group named \"Cherry\" in the tip database.");
  }
  EXPECT_FALSE(QFile::exists(out + "/none.html"));

  EXPECT_EQ(document::formatNamed("MarkDown"), document::Format::Markdown);
  EXPECT_EQ(document::formatNamed("md"), document::Format::Markdown);
  EXPECT_EQ(document::formatNamed("pdf"), document::Format::Pdf);
  EXPECT_EQ(document::formatNamed("docx"), std::nullopt);
}

TEST_F(Document, PicturesEmbeddedInHtmlAndBesideMarkdown) {
  const QByteArray html = readAll(save(document::Format::Html, "p.html"));
  EXPECT_TRUE(html.contains("src=\"data:image/png;base64," + png.toBase64() + "\""));
  EXPECT_TRUE(html.contains("src=\"data:image/jpeg;base64,")); // the placeholder

  // A folder of the user's by that name keeps what is not ours; an old picture of ours
  // that the document no longer shows goes.
  const QString folder = out + "/My tips (1)_pictures";
  QDir().mkpath(folder);
  writeFile(folder + "/notes.txt", "mine");
  writeFile(folder + "/picture-0123456789ab.jpg", "old");
  const QString md = QString::fromUtf8(readAll(save(document::Format::Markdown, "My tips (1).md")));
  const QRegularExpression link("!\\[[^\\]]*\\]\\(([^)]+)\\)");
  QStringList targets;
  for (const auto &m : link.globalMatch(md))
    targets << QUrl::fromPercentEncoding(m.captured(1).toUtf8());
  ASSERT_EQ(targets.size(), 2) << md.toStdString();
  for (const QString &target : targets)
    EXPECT_TRUE(QFile::exists(out + "/" + target)) << target.toStdString();
  EXPECT_TRUE(md.contains("(My%20tips%20%281%29_pictures/picture-"));
  EXPECT_TRUE(targets.filter(".png").size() == 1 &&
              readAll(out + "/" + targets.filter(".png").front()) == png);
  EXPECT_EQ(readAll(folder + "/notes.txt"), "mine");
  EXPECT_FALSE(QFile::exists(folder + "/picture-0123456789ab.jpg"));
}

TEST_F(Document, AFailureOrAStopLeavesTheOldFileAsItWas) {
  for (const char *name : {"keep.html", "keep.md", "keep.pdf"})
    writeFile(out + "/" + name, "old document");
  const auto folderNames = [this] {
    return QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  };
  const QStringList before = folderNames();

  // Stopped after the first tip: nothing written, nothing left beside the file.
  for (auto [format, name] : {std::pair{document::Format::Html, "keep.html"},
                              {document::Format::Markdown, "keep.md"},
                              {document::Format::Pdf, "keep.pdf"}}) {
    StopAfter stop(1);
    EXPECT_THROW(save(format, name, {}, stop), tips::WorkCancelled) << name;
    EXPECT_EQ(readAll(out + "/" + name), "old document") << name;
  }
  EXPECT_EQ(folderNames(), before);

  // The file system refuses to grow the file part way (as a full disk would).
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 2000;
  setrlimit(RLIMIT_FSIZE, &small);
  QString message;
  try {
    save(document::Format::Html, "keep.html");
  } catch (const document::DocumentError &e) {
    message = e.message();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_TRUE(message.startsWith("The document cannot be written")) << message.toStdString();
  EXPECT_EQ(readAll(out + "/keep.html"), "old document");
  EXPECT_EQ(folderNames(), before);

  // A folder that is not there, and a folder where the file should be: said in words.
  try {
    save(document::Format::Markdown, "gone/tips.md");
    ADD_FAILURE();
  } catch (const document::DocumentError &e) {
    EXPECT_TRUE(e.message().startsWith(QString("The folder \"%1/gone\" is missing.").arg(out)))
        << e.message().toStdString();
  }
  QDir().mkpath(out + "/folder.html");
  try {
    save(document::Format::Html, "folder.html");
    ADD_FAILURE();
  } catch (const document::DocumentError &e) {
    EXPECT_TRUE(e.message().contains("is a folder")) << e.message().toStdString();
  }
}

TEST_F(Document, PdfReadsBackWithAPageForEachGroup) {
  const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
  if (pdftotext.isEmpty())
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  const QString pdf = save(document::Format::Pdf, "tips.pdf");

  EXPECT_TRUE(readAll(pdf).startsWith("%PDF-"));
  QProcess p;
  p.start(pdftotext, {"-layout", pdf, "-"});
  ASSERT_TRUE(p.waitForFinished(30000));
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  const QStringList pages = text.split('\f');
  // Title and contents, then one page for each group.
  ASSERT_GE(pages.size(), 3) << text.toStdString();
  EXPECT_TRUE(pages[0].contains("Contents"));
  EXPECT_TRUE(pages[1].contains("Apple & <Pear>"));
  EXPECT_FALSE(pages[1].contains("banana"));
  EXPECT_TRUE(pages[2].contains("banana"));
  // The contents name the page of each group.
  EXPECT_TRUE(QRegularExpression("Apple & <Pear>\\s+2\\n").match(pages[0]).hasMatch())
      << pages[0].toStdString();
  EXPECT_TRUE(QRegularExpression("banana\\s+3\\n").match(pages[0]).hasMatch());
  // Every line as typed; the gaps between words are the reader's guess, not the PDF's.
  const QString page = QString(pages[2]).remove(' ');
  for (QString line :
       {"<script>alert('x & y')</script> AT&T \"quoted\"", "# not a heading", "| a | b |",
        "`code` *bold* _it_ [x](y) ~~gone~~ $x$ a\\b", "indented", "<b>bold?</b> --dash\nlast"})
    EXPECT_TRUE(page.contains(line.remove(' '))) << line.toStdString() << "\n"
                                                 << pages[2].toStdString();
}

} // namespace
