#include "platform/FileLists.h"

#include "platform/MsgBox.h"
#include "platform/files/FileService.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 12;

const QString kHomeDrive = QStringLiteral("C:");

QString clean(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

bool isUnder(const QString &path, const QString &root) {
  if (root == QLatin1String("/"))
    return path.startsWith(QLatin1Char('/'));
  return path == root || path.startsWith(root + QLatin1Char('/'));
}

bool readableFolder(const QString &folder) {
  const QFileInfo info(folder);
  return info.isDir() && info.isReadable() && info.isExecutable();
}

// Kernel and memory file systems hold no user files: they are no drives.
bool isPseudoFileSystem(const QStorageInfo &volume) {
  static const QSet<QByteArray> pseudo = {
      "proc",       "sysfs",   "devtmpfs",    "devpts",         "tmpfs",
      "ramfs",      "cgroup",  "cgroup2",     "securityfs",     "pstore",
      "debugfs",    "tracefs", "configfs",    "fusectl",        "mqueue",
      "hugetlbfs",  "bpf",     "autofs",      "binfmt_misc",    "efivarfs",
      "rpc_pipefs", "nsfs",    "squashfs",    "overlay",        "selinuxfs",
      "nfsd",       "devfs",   "fuse.portal", "fuse.gvfsd-fuse"};
  if (pseudo.contains(volume.fileSystemType()))
    return true;
  const QString root = volume.rootPath();
  for (const char *system : {"/proc", "/sys", "/dev", "/run", "/snap", "/var/lib/docker"})
    if (isUnder(root, QString::fromLatin1(system)) && !isUnder(root, QStringLiteral("/run/media")))
      return true;
  return false;
}

// Indents each folder by its depth, as the classic folder list does.
class FolderIndent : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter *painter, const QStyleOptionViewItem &option,
             const QModelIndex &index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(indent(index), 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += indent(index);
    return size;
  }

private:
  static int indent(const QModelIndex &index) {
    return index.data(kLevelRole).toInt() * kIndentPixels;
  }
};

} // namespace

EventRunner reportFileErrors() {
  return [](const std::function<void()> &work) {
    try {
      work();
    } catch (const FileError &e) {
      MsgBox(e.message(), msgbox::vbCritical + msgbox::vbOKOnly);
    }
  };
}

QString shownPath(const FileService &files, const QString &native) {
  const QString path = clean(native);
  const QString home = clean(files.homeFolder());
  if (!isUnder(path, home))
    return native;
  QString relative = QDir(home).relativeFilePath(path);
  if (relative == QLatin1String("."))
    relative.clear();
  return kHomeDrive + QLatin1Char('\\') + relative.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

// ---- Drives ------------------------------------------------------------------------------

QStringList Drives::names() const {
  QStringList names = {kHomeDrive, QStringLiteral("/")};
  const QString home = clean(files_.homeFolder());
  for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || isPseudoFileSystem(volume))
      continue;
    const QString root = clean(volume.rootPath());
    if (root == home || names.contains(root) || !QFileInfo(root).isDir())
      continue;
    names << root;
  }
  return names;
}

QString Drives::root(const QString &drive) const {
  return drive.compare(kHomeDrive, Qt::CaseInsensitive) == 0 ? clean(files_.homeFolder()) : drive;
}

QString Drives::driveOf(const QString &folder) const {
  const QString path = clean(folder);
  if (isUnder(path, clean(files_.homeFolder())))
    return kHomeDrive;
  QString best = QStringLiteral("/");
  for (const QString &name : names())
    if (name != kHomeDrive && name.size() > best.size() && isUnder(path, name))
      best = name;
  return best;
}

// ---- DriveList ---------------------------------------------------------------------------

DriveList::DriveList(const FileService &files, QWidget *parent)
    : QComboBox(parent), drives_(files), run_(reportFileErrors()) {
  refresh();
  showDrive(drives_.driveOf(QDir::currentPath()));
  connect(this, &QComboBox::activated, this, &DriveList::userChose);
}

void DriveList::refresh() {
  const QSignalBlocker quiet(this);
  clear();
  for (const QString &name : drives_.names()) {
    addItem(name);
    if (name == kHomeDrive)
      setItemData(count() - 1, drives_.root(name), Qt::ToolTipRole);
  }
  const int index = findText(drive_);
  if (index >= 0)
    setCurrentIndex(index);
}

void DriveList::showDrive(const QString &drive) {
  int index = findText(drive);
  if (index < 0) {
    refresh();
    index = findText(drive);
  }
  if (index < 0) {
    addItem(drive);
    index = count() - 1;
  }
  const QSignalBlocker quiet(this);
  setCurrentIndex(index);
  drive_ = drive;
}

void DriveList::setDrive(const QString &drive) {
  if (!readableFolder(drives_.root(drive)))
    throw FileError(drive, QStringLiteral("The drive cannot be read"));
  if (drive == drive_) {
    showDrive(drive);
    return;
  }
  showDrive(drive);
  emit changed();
}

void DriveList::userChose(int index) {
  const QString chosen = itemText(index);
  run_([&] {
    try {
      setDrive(chosen);
    } catch (...) {
      showDrive(drive_);
      throw;
    }
  });
}

// ---- DirList -----------------------------------------------------------------------------

DirList::DirList(const FileService &files, QWidget *parent)
    : QListWidget(parent), files_(files), drives_(files), run_(reportFileErrors()) {
  setItemDelegate(new FolderIndent(this));
  setIconSize(QSize(16, 16));
  setSelectionMode(QAbstractItemView::SingleSelection);
  for (const QString &start : {QDir::currentPath(), files.homeFolder(), QStringLiteral("/")}) {
    const QString folder = clean(start);
    if (readableFolder(folder)) {
      showFolder(folder, drives_.driveOf(folder));
      break;
    }
  }
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem *item) { userMove(row(item)); });
}

QString DirList::shownPath() const {
  return drive_ == kHomeDrive ? ::shownPath(files_, path_) : path_;
}

QString DirList::entryPath(int row) const {
  const QListWidgetItem *entry = item(row);
  return entry ? entry->data(kPathRole).toString() : QString();
}

void DirList::setPath(const QString &path) {
  const bool onDriveLetter = path.size() >= 2 && path[1] == QLatin1Char(':');
  if (onDriveLetter) {
    if (path[0].toUpper() != QLatin1Char('C'))
      throw FileError(path, QStringLiteral("The folder cannot be read"));
    moveTo(clean(files_.nativePath(path)), kHomeDrive);
    return;
  }
  const QString folder = clean(path);
  QString drive;
  if (folder != QLatin1String("/") && drives_.names().contains(folder))
    drive = folder; // a drive's own folder: the list stands on that drive
  else if (!drive_.isEmpty() && isUnder(folder, drives_.root(drive_)))
    drive = drive_;
  else
    drive = drives_.driveOf(folder);
  moveTo(folder, drive);
}

void DirList::goTo(const QString &path) {
  run_([&] { setPath(path); });
}

void DirList::moveTo(const QString &folder, const QString &drive) {
  if (!readableFolder(folder))
    throw FileError(drive == kHomeDrive ? ::shownPath(files_, folder) : folder,
                    QStringLiteral("The folder cannot be read"));
  const bool another = folder != path_;
  showFolder(folder, drive);
  if (another)
    emit changed();
}

void DirList::showFolder(const QString &folder, const QString &drive) {
  const QString root = drives_.root(drive);
  path_ = folder;
  drive_ = drive;
  ++moves_;
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
  auto add = [this](const QString &text, const QString &path, int level, const QIcon &icon) {
    auto *entry = new QListWidgetItem(icon, text, this);
    entry->setData(kPathRole, path);
    entry->setData(kLevelRole, level);
  };
  // The folder's ancestors from the drive's top, the folder itself, then its sub-folders.
  add(drive == kHomeDrive ? kHomeDrive + QLatin1Char('\\') : root, root, 0, open);
  QString walked = root;
  int level = 0;
  const QString relative = QDir(root).relativeFilePath(folder);
  if (relative != QLatin1String(".")) {
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
      walked = QDir(walked).filePath(part);
      add(part, walked, ++level, open);
    }
  }
  shownRow_ = count() - 1;
  const QFileInfoList subFolders = QDir(folder).entryInfoList(
      QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QFileInfo &sub : subFolders)
    add(sub.fileName(), clean(sub.absoluteFilePath()), level + 1, closed);
  selectShownFolder();
}

void DirList::selectShownFolder() {
  const QSignalBlocker quiet(this);
  setCurrentRow(shownRow_);
}

void DirList::userMove(int row) {
  const QString target = entryPath(row);
  if (target.isEmpty() || target == path_) {
    selectShownFolder();
    return;
  }
  run_([&] {
    try {
      moveTo(target, drive_);
    } catch (...) {
      selectShownFolder();
      throw;
    }
  });
}

void DirList::mousePressEvent(QMouseEvent *event) {
  movesAtPress_ = moves_;
  QListWidget::mousePressEvent(event);
}

void DirList::mouseDoubleClickEvent(QMouseEvent *event) {
  // The first click of this double-click moved the list already: the second must not move
  // it again into whatever entry now stands under the pointer.
  if (moves_ != movesAtPress_) {
    event->accept();
    return;
  }
  QListWidget::mouseDoubleClickEvent(event);
}

void DirList::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    userMove(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

// ---- FileList ----------------------------------------------------------------------------

FileList::FileList(const FileService &files, const QString &pattern, QWidget *parent)
    : QListWidget(parent), files_(files), pattern_(pattern) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  const QString start = clean(QDir::currentPath());
  if (readableFolder(start))
    fill(start);
  connect(this, &QListWidget::itemClicked, this, [this] { emit clicked(); });
  connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit doubleClicked(); });
}

void FileList::setPattern(const QString &pattern) {
  pattern_ = pattern;
  refresh();
}

void FileList::setPath(const QString &folder) {
  const QString path = clean(folder);
  if (!readableFolder(path))
    throw FileError(shownPath(files_, path), QStringLiteral("The folder cannot be read"));
  fill(path);
}

void FileList::refresh() {
  if (!path_.isEmpty())
    fill(path_);
}

void FileList::fill(const QString &folder) {
  path_ = folder;
  const QSignalBlocker quiet(this);
  clear();
  const QStringList names =
      QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QString &name : names)
    if (wildcardMatch(pattern_, name))
      addItem(name);
  setCurrentRow(-1);
}

QString FileList::fileName() const {
  const QListWidgetItem *item = currentItem();
  return item && item->isSelected() ? item->text() : QString();
}

QString FileList::filePath() const {
  const QString name = fileName();
  return name.isEmpty() ? QString() : QDir(path_).filePath(name);
}

void FileList::keyPressEvent(QKeyEvent *event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !fileName().isEmpty()) {
    emit doubleClicked();
    return;
  }
  const int before = currentRow();
  QListWidget::keyPressEvent(event);
  if (currentRow() != before && !fileName().isEmpty())
    emit clicked();
}
