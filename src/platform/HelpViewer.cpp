#include "platform/HelpViewer.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kTopicRole = Qt::UserRole;

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

} // namespace

HelpViewer::HelpViewer() {
  setObjectName(QStringLiteral("HelpViewer"));
  setWindowTitle(QStringLiteral("Help"));
  // The viewer follows the program; it never keeps it running on its own.
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_DeleteOnClose, false);

  QStyle *st = style();
  QToolBar *bar = addToolBar(QStringLiteral("Help"));
  bar->setObjectName(QStringLiteral("helpToolBar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  contentsAction_ = bar->addAction(st->standardIcon(QStyle::SP_FileDialogDetailedView),
                                   QStringLiteral("&Contents"));
  findAction_ =
      bar->addAction(st->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("&Find"));
  bar->addSeparator();
  backAction_ = bar->addAction(st->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("&Back"));
  forwardAction_ =
      bar->addAction(st->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("F&orward"));
  contentsAction_->setObjectName(QStringLiteral("helpContentsAction"));
  findAction_->setObjectName(QStringLiteral("helpFindAction"));
  backAction_->setObjectName(QStringLiteral("helpBackAction"));
  forwardAction_->setObjectName(QStringLiteral("helpForwardAction"));
  contentsAction_->setToolTip(QStringLiteral("Show the contents of the help"));
  findAction_->setToolTip(QStringLiteral("Find the topics that hold a word"));
  backAction_->setToolTip(QStringLiteral("Back to the topic read before"));
  forwardAction_->setToolTip(QStringLiteral("Forward to the next topic read"));
  findAction_->setShortcut(QKeySequence::Find);
  backAction_->setShortcut(QKeySequence::Back);
  forwardAction_->setShortcut(QKeySequence::Forward);
  connect(contentsAction_, &QAction::triggered, this, &HelpViewer::showContents);
  connect(findAction_, &QAction::triggered, this, [this] {
    panes_->setCurrentIndex(1);
    findText_->setFocus();
    findText_->selectAll();
  });
  connect(backAction_, &QAction::triggered, this, &HelpViewer::goBack);
  connect(forwardAction_, &QAction::triggered, this, &HelpViewer::goForward);

  auto *splitter = new QSplitter(Qt::Horizontal, this);
  panes_ = new QTabWidget(splitter);
  panes_->setObjectName(QStringLiteral("helpPanes"));

  contentsList_ = new QTreeWidget;
  contentsList_->setObjectName(QStringLiteral("helpContents"));
  contentsList_->setHeaderHidden(true);
  contentsList_->setRootIsDecorated(true);
  panes_->addTab(contentsList_, QStringLiteral("Contents"));
  connect(contentsList_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
    if (item && item->data(0, kTopicRole).isValid())
      navigate(item->data(0, kTopicRole).toInt());
  });

  auto *findPane = new QWidget;
  auto *findLayout = new QVBoxLayout(findPane);
  auto *findLabel = new QLabel(QStringLiteral("&Type the word(s) you want to find:"));
  findText_ = new QLineEdit;
  findText_->setObjectName(QStringLiteral("helpFind"));
  findText_->setClearButtonEnabled(true);
  findLabel->setBuddy(findText_);
  findStatus_ = new QLabel;
  findStatus_->setObjectName(QStringLiteral("helpFindStatus"));
  findResults_ = new QListWidget;
  findResults_->setObjectName(QStringLiteral("helpFound"));
  findLayout->addWidget(findLabel);
  findLayout->addWidget(findText_);
  findLayout->addWidget(findStatus_);
  findLayout->addWidget(findResults_, 1);
  panes_->addTab(findPane, QStringLiteral("Find"));
  connect(findText_, &QLineEdit::textChanged, this, &HelpViewer::runFind);
  connect(findText_, &QLineEdit::returnPressed, this, [this] {
    if (!found_.empty())
      openFound(0);
  });
  connect(findResults_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem *item) { openFound(findResults_->row(item)); });
  connect(findResults_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem *item) { openFound(findResults_->row(item)); });

  view_ = new QTextBrowser(splitter);
  view_->setObjectName(QStringLiteral("helpTopic"));
  // Links between topics name topics, not places in one long page: the viewer follows them.
  view_->setOpenLinks(false);
  connect(view_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);

  splitter->addWidget(panes_);
  splitter->addWidget(view_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 600});
  setCentralWidget(splitter);
  resize(900, 620);
  updateActions();
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::WinHelp(quintptr owner, const QString &helpFile, int command, qint64 data) {
  switch (command) {
  case HELP_QUIT:
    close();
    return true;
  case HELP_CONTEXT:
  case HELP_FINDER: {
    if (!load(helpFile)) {
      showUnreadable();
      present(owner);
      return false;
    }
    const bool known = command == HELP_FINDER || file_.find(QString::number(data)) >= 0;
    if (command == HELP_FINDER) {
      showContents();
    } else {
      navigate(file_.topicForNumber(data));
      panes_->setCurrentIndex(0);
    }
    present(owner);
    return known;
  }
  default:
    return false;
  }
}

bool HelpViewer::load(const QString &helpFile) {
  const QFileInfo info(helpFile);
  if (helpFile == loadedPath_ && problem_.isEmpty() && info.lastModified() == loadedStamp_ &&
      info.size() == loadedSize_)
    return true;
  loadedPath_ = helpFile;
  loadedStamp_ = info.lastModified();
  loadedSize_ = info.size();
  problem_.clear();
  file_ = HelpViewerFile();
  history_.clear();
  position_ = -1;
  QFile in(helpFile);
  if (!info.isFile())
    problem_ = QStringLiteral("The file does not exist.");
  else if (!in.open(QIODevice::ReadOnly))
    problem_ = in.errorString();
  else {
    file_ = HelpViewerFile::parse(QString::fromUtf8(in.readAll()));
    if (file_.isEmpty())
      problem_ = QStringLiteral("The file holds no help topics.");
  }
  setWindowTitle(file_.title().isEmpty() ? QStringLiteral("Help") : file_.title());
  fillContents();
  runFind();
  updateActions();
  return problem_.isEmpty();
}

void HelpViewer::showUnreadable() {
  view_->setHtml(QStringLiteral("<h2>The help cannot be shown</h2>"
                                "<p>The help file could not be read:</p>"
                                "<p><b>%1</b></p><p>%2</p>")
                     .arg(escaped(loadedPath_), escaped(problem_)));
  updateActions();
}

void HelpViewer::fillContents() {
  const QSignalBlocker block(contentsList_);
  contentsList_->clear();
  const int home = file_.contents();
  if (home < 0)
    return;
  QStyle *st = style();
  const QIcon bookIcon = st->standardIcon(QStyle::SP_DirIcon);
  const QIcon pageIcon = st->standardIcon(QStyle::SP_FileIcon);
  auto *root = new QTreeWidgetItem(contentsList_, {file_.topics()[home].title});
  root->setData(0, kTopicRole, home);
  root->setIcon(0, st->standardIcon(QStyle::SP_DirOpenIcon));
  QTreeWidgetItem *book = nullptr;
  QString bookName;
  for (const HelpViewerFile::OutlineEntry &entry : file_.outline()) {
    if (entry.book != bookName) {
      bookName = entry.book;
      book = nullptr;
      if (!bookName.isEmpty()) {
        book = new QTreeWidgetItem(root, {bookName});
        book->setIcon(0, bookIcon);
        book->setFlags(Qt::ItemIsEnabled);
      }
    }
    const QString &title = file_.topics()[entry.topic].title;
    auto *page = new QTreeWidgetItem(book ? book : root, {title});
    page->setToolTip(0, title);
    page->setData(0, kTopicRole, entry.topic);
    page->setIcon(0, pageIcon);
  }
  contentsList_->expandAll();
}

int HelpViewer::currentTopic() const { return position_ >= 0 ? history_[position_].topic : -1; }

QString HelpViewer::currentTopicName() const {
  const int topic = currentTopic();
  return topic >= 0 ? file_.topics()[topic].names.value(0) : QString();
}

QString HelpViewer::currentTitle() const {
  const int topic = currentTopic();
  return topic >= 0 ? file_.topics()[topic].title : QString();
}

bool HelpViewer::canGoBack() const { return position_ > 0; }
bool HelpViewer::canGoForward() const {
  return position_ >= 0 && position_ + 1 < static_cast<int>(history_.size());
}

void HelpViewer::showContents() {
  panes_->setCurrentIndex(0);
  if (file_.contents() >= 0)
    navigate(file_.contents());
}

void HelpViewer::navigate(int topic, const QStringList &marked) {
  if (topic < 0 || topic >= static_cast<int>(file_.topics().size()))
    return;
  if (position_ >= 0) {
    history_[position_].scroll = view_->verticalScrollBar()->value();
    if (history_[position_].topic == topic && marked.isEmpty())
      return; // asked again for the topic on show
  }
  history_.resize(position_ + 1);
  history_.push_back({topic, 0});
  position_ = static_cast<int>(history_.size()) - 1;
  display(topic, 0, marked);
}

void HelpViewer::goBack() {
  if (!canGoBack())
    return;
  history_[position_].scroll = view_->verticalScrollBar()->value();
  --position_;
  display(history_[position_].topic, history_[position_].scroll, {});
}

void HelpViewer::goForward() {
  if (!canGoForward())
    return;
  history_[position_].scroll = view_->verticalScrollBar()->value();
  ++position_;
  display(history_[position_].topic, history_[position_].scroll, {});
}

void HelpViewer::display(int topic, int scroll, const QStringList &marked) {
  view_->setHtml(file_.page(topic));
  QList<QTextEdit::ExtraSelection> marks;
  QTextCursor first;
  for (const QString &word : marked) {
    const QRegularExpression pattern(
        QStringLiteral("(?<![\\p{L}\\p{N}])") + QRegularExpression::escape(word),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    for (QTextCursor at = view_->document()->find(pattern); !at.isNull();
         at = view_->document()->find(pattern, at)) {
      QTextEdit::ExtraSelection mark;
      mark.cursor = at;
      mark.format.setBackground(QColor(0xff, 0xe8, 0x7c));
      marks << mark;
      if (first.isNull() || at.position() < first.position())
        first = at;
    }
  }
  view_->setExtraSelections(marks);
  if (!first.isNull()) {
    QTextCursor caret = first;
    caret.clearSelection();
    view_->setTextCursor(caret);
    view_->ensureCursorVisible();
  } else {
    view_->verticalScrollBar()->setValue(scroll);
  }
  syncContents(topic);
  updateActions();
}

void HelpViewer::syncContents(int topic) {
  const QSignalBlocker block(contentsList_);
  for (QTreeWidgetItemIterator it(contentsList_); *it; ++it)
    if ((*it)->data(0, kTopicRole).isValid() && (*it)->data(0, kTopicRole).toInt() == topic) {
      contentsList_->setCurrentItem(*it);
      return;
    }
}

void HelpViewer::followLink(const QUrl &link) {
  const QString scheme = link.scheme();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
      scheme == QLatin1String("mailto")) {
    QDesktopServices::openUrl(link);
    return;
  }
  const QString name = link.hasFragment() ? link.fragment() : link.path();
  const int topic = file_.find(name);
  navigate(topic >= 0 ? topic : file_.contents());
}

void HelpViewer::updateActions() {
  backAction_->setEnabled(canGoBack());
  forwardAction_->setEnabled(canGoForward());
  contentsAction_->setEnabled(!file_.isEmpty());
  findAction_->setEnabled(!file_.isEmpty());
}

void HelpViewer::find(const QString &words) {
  panes_->setCurrentIndex(1);
  findText_->setText(words);
  runFind();
}

void HelpViewer::runFind() {
  found_ = file_.search(findText_->text());
  findResults_->clear();
  for (int topic : found_)
    findResults_->addItem(file_.topics()[topic].title);
  if (HelpViewerFile::searchWords(findText_->text()).isEmpty())
    findStatus_->setText(QString());
  else if (found_.empty())
    findStatus_->setText(QStringLiteral("No topic holds these words."));
  else if (found_.size() == 1)
    findStatus_->setText(QStringLiteral("1 topic found:"));
  else
    findStatus_->setText(QStringLiteral("%1 topics found:").arg(found_.size()));
}

QStringList HelpViewer::foundTitles() const {
  QStringList titles;
  for (int topic : found_)
    titles << file_.topics()[topic].title;
  return titles;
}

void HelpViewer::openFound(int row) {
  if (row < 0 || row >= static_cast<int>(found_.size()))
    return;
  navigate(found_[row], HelpViewerFile::searchWords(findText_->text()));
}

void HelpViewer::present(quintptr owner) {
  if (!placed_) {
    placeBeside(owner);
    placed_ = true;
  } else if (!isVisible() && !geometry_.isEmpty()) {
    restoreGeometry(geometry_);
  }
  if (isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void HelpViewer::placeBeside(quintptr owner) {
  QWidget *asking = owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
  QScreen *screen = asking ? asking->screen() : this->screen();
  if (!screen)
    return;
  const QRect room = screen->availableGeometry();
  QSize size = this->size().boundedTo(room.size());
  resize(size);
  QPoint at = room.center() - QPoint(size.width() / 2, size.height() / 2);
  if (asking) {
    // Beside the window asking, so the help does not hide the screen it explains.
    const QRect beside = asking->frameGeometry();
    if (beside.right() + 1 + size.width() <= room.right() + 1)
      at = QPoint(beside.right() + 1, beside.top());
    else if (beside.left() - size.width() >= room.left())
      at = QPoint(beside.left() - size.width(), beside.top());
  }
  at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
  at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
  move(at);
}

void HelpViewer::closeEvent(QCloseEvent *event) {
  // Only hidden: the next opening finds the window where the reader left it. A new
  // opening starts a new trail of Back and Forward.
  geometry_ = saveGeometry();
  history_.clear();
  position_ = -1;
  updateActions();
  event->accept();
}
