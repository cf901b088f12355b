#include "support/Installation.h"

#include "framework/Screen.h"
#include "framework/Screens.h"
#include "platform/FileLists.h"
#include "screens/AllScreens.h"
#include "store/Database.h"
#include "widgets/AccessKeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

void copyDeliveredProgramFolder(const QString &target) {
  const QString source = QStringLiteral(OBX_PROGRAM_DIR);
  QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString relative = QDir(source).relativeFilePath(path);
    const QFileInfo info = it.fileInfo();
    if (info.isDir()) {
      QDir().mkpath(target + '/' + relative);
    } else if (info.fileName() != QLatin1String("ombrixtips")) {
      QDir().mkpath(QFileInfo(target + '/' + relative).absolutePath());
      QFile::copy(path, target + '/' + relative);
    }
  }
}

Installation::Installation(bool copyDelivered) {
  folder_ = dir_.path() + QStringLiteral("/ombrixtips");
  home_ = dir_.path() + QStringLiteral("/home");
  QDir().mkpath(folder_);
  QDir().mkpath(home_);
  if (copyDelivered)
    copyDeliveredProgramFolder(folder_);
  makeProgram();
}

void Installation::makeProgram() {
  ended_ = false;
  program_ = std::make_unique<Program>(screenCatalogue(), folder_, home_);
  program_->setEndHandler([this] { ended_ = true; });
  // The tip of the day would open over every test's main screen; a test asks for it.
  program_->g.gTipOfTheDayOffered = !offersTipOfTheDay_;
}

void Installation::offerTipOfTheDay() {
  offersTipOfTheDay_ = true;
  program_->g.gTipOfTheDayOffered = false;
}

void Installation::restart() {
  program_.reset();
  settle();
  makeProgram();
  start();
}

Installation::~Installation() {
  program_.reset();
  settle();
}

QString Installation::native(const QString &text) const {
  const bool onDrive = text.size() >= 2 && text[1] == QLatin1Char(':');
  // ".." climbs out of the folder it follows, also where that folder does not exist, so
  // a path can name a file beside the program folder ("\..\stray.txt").
  QString full = onDrive ? home_ + QLatin1Char('/') + text.mid(2) : folder_ + text;
  full.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return program_->native(QDir::cleanPath(full));
}

std::shared_ptr<store::Database> Installation::open(const QString &database) const {
  const QString path =
      database.isEmpty() ? file(QStringLiteral("ombrixtips.mdb")) : native(database);
  return store::Database::open(path, store::OpenMode::ReadWrite);
}

void Installation::sql(const QString &statement, const QString &database) const {
  open(database)->exec(statement);
}

QList<QStringList> Installation::rows(const QString &query, const QString &database) const {
  return open(database)->rows(query);
}

void Installation::setUserDetails(const QString &first) const {
  sql(QStringLiteral("UPDATE Settings SET USER_FIRST='%1', USER_LAST='Smith', "
                     "USER_EMAIL='ann@example.org', USER_CITY='Perth', USER_COUNTRY='Australia'")
          .arg(first));
}

void Installation::start() {
  program_->start();
  settle();
}

Screen *Installation::active() const { return program_ ? program_->screens().active() : nullptr; }

QString Installation::activeName() const {
  Screen *screen = active();
  return screen ? screen->screenName() : QString();
}

QWidget *Installation::findControl(const QString &name, QString *error) const {
  Screen *screen = active();
  QWidget *widget = screen ? screen->findChild<QWidget *>(name) : nullptr;
  if (!widget && error)
    *error = screen ? screen->screenName() + QStringLiteral(" has no control ") + name
                    : QStringLiteral("no screen is active");
  return widget;
}

QAction *Installation::findMenuItem(const QString &name, QString *error) const {
  Screen *screen = active();
  QAction *action = screen ? screen->findChild<QAction *>(name) : nullptr;
  if (!action && error)
    *error = screen ? screen->screenName() + QStringLiteral(" has no menu item ") + name
                    : QStringLiteral("no screen is active");
  return action;
}

QString Installation::click(const QString &name) {
  QString error;
  QWidget *widget = findControl(name, &error);
  if (!widget)
    return error;
  if (!widget->isEnabled())
    return name + QStringLiteral(" is disabled");
  if (!widget->isVisible())
    return name + QStringLiteral(" is not visible");
  QTest::mouseClick(widget, Qt::LeftButton);
  settle();
  return {};
}

QString Installation::triggerMenu(const QString &name) {
  QString error;
  QAction *action = findMenuItem(name, &error);
  if (!action)
    return error;
  if (!action->isEnabled())
    return name + QStringLiteral(" is disabled");
  action->trigger();
  settle();
  return {};
}

QString Installation::chooseIndex(const QString &comboName, int index) {
  QString error;
  auto *combo = qobject_cast<QComboBox *>(findControl(comboName, &error));
  if (!combo)
    return error.isEmpty() ? comboName + QStringLiteral(" is not a combo box") : error;
  if (!combo->isEnabled())
    return comboName + QStringLiteral(" is disabled");
  if (index < 0 || index >= combo->count())
    return comboName + QStringLiteral(" has no entry %1").arg(index);
  combo->setCurrentIndex(index);
  emit combo->activated(index);
  settle();
  return {};
}

namespace {

QListWidgetItem *listEntry(QListWidget *list, const QString &text) {
  const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.first();
}

// Where a list shows an entry, scrolled into view.
QPoint entryPoint(QListWidget *list, QListWidgetItem *entry) {
  list->scrollToItem(entry);
  return list->visualItemRect(entry).center();
}

// What a real double-click delivers: press, release, double-click, release.
void doubleClickAt(QWidget *widget, QPoint point) {
  QTest::mousePress(widget, Qt::LeftButton, {}, point);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

QString usable(QWidget *widget, const QString &name) {
  if (!widget->isEnabled())
    return name + QStringLiteral(" is disabled");
  if (!widget->isVisible())
    return name + QStringLiteral(" is not visible");
  return {};
}

} // namespace

QString Installation::choose(const QString &comboName, const QString &entryText) {
  QString error;
  QWidget *widget = findControl(comboName, &error);
  if (!widget)
    return error;
  if (auto *list = qobject_cast<QListWidget *>(widget)) {
    if (QString e = usable(list, comboName); !e.isEmpty())
      return e;
    auto *folders = qobject_cast<DirList *>(list);
    const bool wholePath = entryText.contains(QLatin1Char('\\')) ||
                           entryText.contains(QLatin1Char('/')) ||
                           entryText.contains(QLatin1Char(':'));
    if (folders && wholePath) {
      folders->goTo(entryText);
      settle();
      return {};
    }
    QListWidgetItem *entry = listEntry(list, entryText);
    if (!entry)
      return comboName + QStringLiteral(" has no entry \"") + entryText + '"';
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entryPoint(list, entry));
    settle();
    return {};
  }
  auto *combo = qobject_cast<QComboBox *>(widget);
  if (!combo)
    return comboName + QStringLiteral(" is not a combo box or a list");
  const int index = combo->findText(entryText, Qt::MatchExactly);
  if (index < 0)
    return comboName + QStringLiteral(" has no entry \"") + entryText + '"';
  return chooseIndex(comboName, index);
}

QString Installation::doubleClick(const QString &name, const QString &entryText) {
  QString error;
  QWidget *widget = findControl(name, &error);
  if (!widget)
    return error;
  if (QString e = usable(widget, name); !e.isEmpty())
    return e;
  if (entryText.isNull()) {
    doubleClickAt(widget, widget->rect().center());
  } else {
    auto *list = qobject_cast<QListWidget *>(widget);
    if (!list)
      return name + QStringLiteral(" is not a list");
    QListWidgetItem *entry = listEntry(list, entryText);
    if (!entry)
      return name + QStringLiteral(" has no entry \"") + entryText + '"';
    doubleClickAt(list->viewport(), entryPoint(list, entry));
  }
  settle();
  return {};
}

QString Installation::type(const QString &controlName, const QString &text) {
  QString error;
  QWidget *widget = findControl(controlName, &error);
  if (!widget)
    return error;
  widget->setFocus();
  QString composed;
  auto commit = [&] {
    if (composed.isEmpty())
      return;
    QInputMethodEvent event;
    event.setCommitString(composed);
    QCoreApplication::sendEvent(widget, &event);
    composed.clear();
  };
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      commit();
      QTest::keyClick(widget, c.toLatin1());
    } else {
      composed += c;
    }
  }
  commit();
  settle();
  return {};
}

QString Installation::text(const QString &controlName, QString *error) const {
  // A menu or menu item: its caption as the user reads it, without the access key's mark.
  if (auto *menu = active() ? active()->findChild<QMenu *>(controlName) : nullptr)
    return accessKeys::plainCaption(menu->title());
  if (QAction *item = findMenuItem(controlName))
    return accessKeys::plainCaption(item->text());
  QWidget *widget = findControl(controlName, error);
  if (auto *label = qobject_cast<QLabel *>(widget))
    return label->text();
  if (auto *button = qobject_cast<QAbstractButton *>(widget))
    return button->text();
  if (auto *line = qobject_cast<QLineEdit *>(widget))
    return line->text();
  if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
    return plain->toPlainText();
  if (auto *combo = qobject_cast<QComboBox *>(widget))
    return combo->currentText();
  if (auto *folders = qobject_cast<DirList *>(widget))
    return folders->shownPath();
  if (auto *list = qobject_cast<QListWidget *>(widget)) {
    const QListWidgetItem *entry = list->currentItem();
    return entry && entry->isSelected() ? entry->text() : QString();
  }
  if (widget)
    return widget->windowTitle();
  return {};
}

QStringList Installation::entries(const QString &controlName, QString *error) const {
  QStringList result;
  QWidget *widget = findControl(controlName, error);
  if (auto *combo = qobject_cast<QComboBox *>(widget)) {
    for (int i = 0; i < combo->count(); ++i)
      result << combo->itemText(i);
  } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
    for (int i = 0; i < list->count(); ++i)
      result << list->item(i)->text();
  } else if (auto *view = qobject_cast<QAbstractItemView *>(widget); view && view->model()) {
    const QAbstractItemModel *model = view->model();
    for (int i = 0; i < model->rowCount(); ++i)
      result << model->index(i, 0).data().toString();
  } else if (widget && error) {
    *error = controlName + QStringLiteral(" is not a combo box or a list");
  }
  return result;
}

void Installation::settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    return;
  // A window manager frames, places and maximises windows a moment after being asked.
  QDeadlineTimer deadline(5000);
  for (Screen *screen = active(); screen && screen->placementPending() && !deadline.hasExpired();
       screen = active())
    QTest::qWait(10);
  QTest::qWait(150);
}
