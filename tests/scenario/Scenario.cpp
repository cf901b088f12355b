#include "scenario/Scenario.h"

#include "framework/Screen.h"
#include "support/Installation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <zip.h>

namespace {

QString joinRow(const QStringList &row) { return row.join(QLatin1Char('|')); }

// A step's yes or no into wanted; what is wrong with the word, else empty.
QString readFlag(const QString &word, bool &wanted) {
  const QString w = word.toLower();
  if (w == QLatin1String("yes") || w == QLatin1String("true")) {
    wanted = true;
    return {};
  }
  if (w == QLatin1String("no") || w == QLatin1String("false")) {
    wanted = false;
    return {};
  }
  return QStringLiteral("expected yes or no, not ") + word;
}

int parseAnswer(const QString &word) {
  const QString w = word.toLower();
  if (w == QLatin1String("ok"))
    return msgbox::vbOK;
  if (w == QLatin1String("cancel"))
    return msgbox::vbCancel;
  if (w == QLatin1String("yes"))
    return msgbox::vbYes;
  if (w == QLatin1String("no"))
    return msgbox::vbNo;
  return 0;
}

Qt::Key parseKey(const QString &word) {
  static const QHash<QString, Qt::Key> keys = {
      {QStringLiteral("home"), Qt::Key_Home},
      {QStringLiteral("end"), Qt::Key_End},
      {QStringLiteral("left"), Qt::Key_Left},
      {QStringLiteral("right"), Qt::Key_Right},
      {QStringLiteral("backspace"), Qt::Key_Backspace},
      {QStringLiteral("delete"), Qt::Key_Delete},
      {QStringLiteral("enter"), Qt::Key_Return},
      {QStringLiteral("escape"), Qt::Key_Escape},
      {QStringLiteral("tab"), Qt::Key_Tab},
  };
  return keys.value(word.toLower(), Qt::Key_unknown);
}

// A small picture in the JPEG format: a sky over a hill.
bool writePicture(const QString &path) {
  QImage picture(64, 48, QImage::Format_RGB32);
  picture.fill(QColor(0x87, 0xce, 0xeb));
  QPainter painter(&picture);
  painter.setBrush(QColor(0x3c, 0x8d, 0x2f));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QRect(-16, 28, 96, 48));
  painter.end();
  QDir().mkpath(QFileInfo(path).absolutePath());
  return picture.save(path, "JPG");
}

// The member names of a ZIP archive in their order, or why it cannot be read.
QStringList zipMembers(const QString &path, QString *error) {
  int code = 0;
  zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
  if (!archive) {
    zip_error_t why;
    zip_error_init_with_code(&why, code);
    *error = QStringLiteral("cannot read %1 as a ZIP archive: %2")
                 .arg(path, QString::fromLocal8Bit(zip_error_strerror(&why)));
    zip_error_fini(&why);
    return {};
  }
  QStringList names;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i)
    names << QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
  zip_discard(archive);
  return names;
}

QByteArray contents(const QString &path, bool *ok) {
  QFile file(path);
  *ok = file.open(QIODevice::ReadOnly);
  return *ok ? file.readAll() : QByteArray();
}

} // namespace

Scenario::Scenario(QTextStream &out) : out_(out) {}
Scenario::~Scenario() = default;

Installation &Scenario::installation() {
  if (!installation_)
    installation_ = std::make_unique<Installation>();
  return *installation_;
}

QStringList Scenario::words(const QString &line, QString *error) {
  QStringList result;
  QString current;
  bool inWord = false;
  bool quoted = false;
  for (int i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (quoted) {
      if (c == QLatin1Char('"')) {
        quoted = false;
      } else if (c == QLatin1Char('\\') && i + 1 < line.size()) {
        const QChar next = line[++i];
        if (next == QLatin1Char('n'))
          current += QStringLiteral("\r\n");
        else if (next == QLatin1Char('t'))
          current += QLatin1Char('\t');
        else
          current += next;
      } else {
        current += c;
      }
    } else if (c == QLatin1Char('"')) {
      quoted = true;
      inWord = true;
    } else if (c.isSpace()) {
      if (inWord)
        result << current;
      current.clear();
      inWord = false;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (quoted && error)
    *error = QStringLiteral("a quoted text is not closed");
  if (inWord)
    result << current;
  return result;
}

int Scenario::run(const QString &text, const QString &sourceName) {
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int n = 0; n < lines.size(); ++n) {
    const QString line = lines[n].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
      continue;
    QString error;
    const QStringList w = words(line, &error);
    if (error.isEmpty())
      error = step(w);
    out_ << sourceName << ':' << (n + 1) << ": " << line;
    if (error.isEmpty()) {
      ++passed_;
      out_ << "  ok\n";
    } else {
      ++failed_;
      out_ << "  FAILED: " << error << '\n';
    }
    out_.flush();
  }
  out_ << passed_ << " passed, " << failed_ << " failed\n";
  out_.flush();
  return failed_;
}

QString Scenario::step(const QStringList &w) {
  const QString command = w.value(0).toLower();
  const int argc = w.size() - 1;
  auto needs = [&](int n) {
    return argc < n ? command + QStringLiteral(" needs %1 argument(s)").arg(n) : QString();
  };
  Installation &inst = installation();

  if (command == QLatin1String("start")) {
    inst.start();
    return {};
  }
  if (command == QLatin1String("restart")) {
    inst.restart();
    return {};
  }
  if (command == QLatin1String("offer-tip-of-the-day")) {
    inst.offerTipOfTheDay();
    return {};
  }
  if (command == QLatin1String("expect-window")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    bool wanted = false;
    if (QString e = readFlag(w[2], wanted); !e.isEmpty())
      return e;
    inst.settle();
    bool shown = false;
    for (const QWidget *window : QApplication::topLevelWidgets())
      shown = shown || (window->isVisible() && window->windowTitle() == w[1]);
    return shown == wanted ? QString()
                           : QStringLiteral("the window \"%1\" is %2shown")
                                 .arg(w[1], shown ? QString() : QStringLiteral("not "));
  }
  if (command == QLatin1String("details")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    inst.setUserDetails(w[1]);
    return {};
  }
  if (command == QLatin1String("click"))
    return argc < 1 ? needs(1) : inst.click(w[1]);
  if (command == QLatin1String("menu"))
    return argc < 1 ? needs(1) : inst.triggerMenu(w[1]);
  if (command == QLatin1String("choose"))
    return argc < 2 ? needs(2) : inst.choose(w[1], w[2]);
  if (command == QLatin1String("choose-position")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    bool ok = false;
    const int position = w[2].toInt(&ok);
    return ok ? inst.chooseIndex(w[1], position) : QStringLiteral("not a position: ") + w[2];
  }
  if (command == QLatin1String("double-click"))
    return argc < 1 ? needs(1) : inst.doubleClick(w[1], argc >= 2 ? w[2] : QString());
  if (command == QLatin1String("type"))
    return argc < 2 ? needs(2) : inst.type(w[1], w[2]);
  if (command == QLatin1String("key")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    QString error;
    QWidget *widget = inst.findControl(w[1], &error);
    if (!widget)
      return error;
    for (int i = 2; i <= argc; ++i) {
      const Qt::Key key = parseKey(w[i]);
      if (key == Qt::Key_unknown)
        return QStringLiteral("unknown key ") + w[i];
      widget->setFocus();
      QTest::keyClick(widget, key);
    }
    inst.settle();
    return {};
  }
  if (command == QLatin1String("answer")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    for (int i = 1; i <= argc; ++i) {
      const int answer = parseAnswer(w[i]);
      if (!answer)
        return QStringLiteral("unknown answer ") + w[i];
      inst.messages().queue(answer);
    }
    return {};
  }
  if (command == QLatin1String("expect-message")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    const auto &shown = inst.messages().shown();
    if (messagesChecked_ >= shown.size())
      return QStringLiteral("no message box was shown");
    const msgbox::ShownMessage &m = shown[messagesChecked_++];
    bool codeOk = true;
    const int code = argc >= 3 ? w[3].toInt(&codeOk) : m.style;
    if (!codeOk)
      return QStringLiteral("not a style code: ") + w[3];
    // {folder} and {home}: the program folder and the home folder (drive C:), native.
    const QString prompt = QString(w[2])
                               .replace(QStringLiteral("{folder}"), inst.folder())
                               .replace(QStringLiteral("{home}"), inst.home());
    if (m.title != w[1] || m.prompt != prompt || m.style != code)
      return QStringLiteral("the message box was \"%1\" \"%2\" %3")
          .arg(m.title, QString(m.prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\\n")))
          .arg(m.style);
    return {};
  }
  if (command == QLatin1String("expect-no-message")) {
    const auto &shown = inst.messages().shown();
    if (messagesChecked_ < shown.size())
      return QStringLiteral("a message box was shown: \"%1\"").arg(shown[messagesChecked_].prompt);
    return {};
  }
  if (command == QLatin1String("expect-screen")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    return inst.activeName() == w[1] ? QString()
                                     : QStringLiteral("the active screen is ") + inst.activeName();
  }
  if (command == QLatin1String("expect-text")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    QString error;
    const QString shown = inst.text(w[1], &error);
    if (!error.isEmpty())
      return error;
    return shown == w[2] ? QString() : QStringLiteral("the text is \"%1\"").arg(shown);
  }
  if (command == QLatin1String("expect-enabled") || command == QLatin1String("expect-visible")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    bool wanted = false;
    if (QString e = readFlag(w[2], wanted); !e.isEmpty())
      return e;
    const bool enabled = command == QLatin1String("expect-enabled");
    bool actual = false;
    QString error;
    if (QWidget *widget = inst.findControl(w[1], &error)) {
      actual = enabled ? widget->isEnabled() : widget->isVisible();
    } else if (QAction *action = inst.findMenuItem(w[1])) {
      actual = enabled ? action->isEnabled() : action->isVisible();
    } else {
      return error;
    }
    return actual == wanted
               ? QString()
               : w[1] + (actual ? QStringLiteral(" is ") : QStringLiteral(" is not ")) +
                     (enabled ? QStringLiteral("enabled") : QStringLiteral("visible"));
  }
  if (command == QLatin1String("sql")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    inst.sql(w[2], w[1]);
    return {};
  }
  if (command == QLatin1String("expect-rows")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    const QList<QStringList> rows = inst.rows(w[2], w[1]);
    QStringList actual;
    for (const QStringList &row : rows)
      actual << joinRow(row);
    // {today}: today's date as the store writes it.
    const QString today = inst.program().clock().today().toString(Qt::ISODate);
    QStringList wanted = w.mid(3);
    for (QString &row : wanted)
      row.replace(QStringLiteral("{today}"), today);
    return actual == wanted
               ? QString()
               : QStringLiteral("the rows are [%1]").arg(actual.join(QStringLiteral("] [")));
  }
  if (command == QLatin1String("expect-file") || command == QLatin1String("expect-no-file")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    const bool wanted = command == QLatin1String("expect-file");
    // A '*' in the file's name stands for any characters (a name made from the time).
    const QFileInfo named(inst.native(w[1]));
    const bool exists =
        named.fileName().contains(QLatin1Char('*'))
            ? !QDir(named.path()).entryList({named.fileName()}, QDir::Files).isEmpty()
            : named.exists();
    return exists == wanted
               ? QString()
               : w[1] + (exists ? QStringLiteral(" exists") : QStringLiteral(" does not exist"));
  }
  if (command == QLatin1String("expect-list")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    QString error;
    const QStringList actual = inst.entries(w[1], &error);
    if (!error.isEmpty())
      return error;
    return actual == w.mid(2)
               ? QString()
               : QStringLiteral("the entries are [%1]").arg(actual.join(QStringLiteral("] [")));
  }
  if (command == QLatin1String("expect-focus")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    const QWidget *focus = screen->focusWidget();
    const QString name = focus ? focus->objectName() : QString();
    return name == w[1] ? QString() : QStringLiteral("the focus is in \"%1\"").arg(name);
  }
  if (command == QLatin1String("put-picture")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    return writePicture(inst.native(w[1])) ? QString() : QStringLiteral("cannot write ") + w[1];
  }
  if (command == QLatin1String("put-file")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    const QString source = QDir(folder_).absoluteFilePath(w[1]);
    const QString target = inst.native(w[2]);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    return QFile::copy(source, target) ? QString()
                                       : QStringLiteral("cannot copy %1 to %2").arg(source, w[2]);
  }
  if (command == QLatin1String("expect-same-file")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    bool firstOk = false, secondOk = false;
    const QByteArray first = contents(inst.native(w[1]), &firstOk);
    const QByteArray second = contents(inst.native(w[2]), &secondOk);
    if (!firstOk || !secondOk)
      return QStringLiteral("cannot read ") + (firstOk ? w[2] : w[1]);
    return first == second ? QString()
                           : w[1] + QStringLiteral(" and ") + w[2] + QStringLiteral(" differ");
  }
  if (command == QLatin1String("expect-zip")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    QString error;
    const QStringList members = zipMembers(inst.native(w[1]), &error);
    if (!error.isEmpty())
      return error;
    return members == w.mid(2)
               ? QString()
               : QStringLiteral("the members are [%1]").arg(members.join(QStringLiteral("] [")));
  }
  if (command == QLatin1String("expect-ended"))
    return inst.ended() ? QString() : QStringLiteral("the program is still running");
  if (command == QLatin1String("resize") || command == QLatin1String("move")) {
    if (QString e = needs(2); !e.isEmpty())
      return e;
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    if (command == QLatin1String("resize")) {
      screen->setWidth(w[1].toInt());
      screen->setHeight(w[2].toInt());
    } else {
      screen->setLeft(w[1].toInt());
      screen->setTop(w[2].toInt());
    }
    inst.settle();
    return {};
  }
  if (command == QLatin1String("maximise") || command == QLatin1String("restore")) {
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    screen->setMaximised(command == QLatin1String("maximise"));
    inst.settle();
    return {};
  }
  if (command == QLatin1String("expect-maximised")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    bool wanted = false;
    if (QString e = readFlag(w[1], wanted); !e.isEmpty())
      return e;
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    return screen->maximised() == wanted
               ? QString()
               : QStringLiteral("the window is ") +
                     (wanted ? QStringLiteral("not maximised") : QStringLiteral("maximised"));
  }
  if (command == QLatin1String("expect-geometry")) {
    if (QString e = needs(4); !e.isEmpty())
      return e;
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    const QString actual = QStringLiteral("%1 %2 %3 %4")
                               .arg(screen->Height())
                               .arg(screen->Left())
                               .arg(screen->Top())
                               .arg(screen->Width());
    const QString wanted = QStringList(w.mid(1, 4)).join(QLatin1Char(' '));
    return actual == wanted ? QString() : QStringLiteral("the geometry (H L T W) is ") + actual;
  }
  if (command == QLatin1String("screenshot")) {
    if (QString e = needs(1); !e.isEmpty())
      return e;
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    inst.settle();
    return screen->grab().save(w[1]) ? QString() : QStringLiteral("cannot write ") + w[1];
  }
  if (command == QLatin1String("close")) {
    Screen *screen = inst.active();
    if (!screen)
      return QStringLiteral("no screen is active");
    screen->close();
    inst.settle();
    return {};
  }
  return QStringLiteral("unknown step ") + w.value(0);
}
