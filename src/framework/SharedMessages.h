#pragma once
// Checks and messages that many screens share: names made safe for criteria texts, key
// filters that raise typed letters to capitals, and the standard message boxes.

#include <QString>

#include "tips/NameRules.h"

struct OBXGlobals;
class QLineEdit;
class QWidget;

// Key filters: the typed key code to use instead of code, for the text box that has the
// focus. Selection start and text are read from the box.
int CapFirstKey(const QWidget *box, int code);
int CapWordKey(const QWidget *box, int code);
// The same rules on plain values (selStart: the caret's position, 0 = before everything).
int capFirstKey(const QString &text, int selStart, int code);
int capWordKey(const QString &text, int selStart, int code);

enum class KeyFilter { CapFirst, CapWord };
// Installs a key filter on a text box (a QLineEdit or QPlainTextEdit): each typed
// lower-case letter is replaced by the filter's answer before the box sees it.
void installKeyFilter(QWidget *box, KeyFilter filter);

void MsgDatabaseEmpty(const OBXGlobals &g);
void MsgOops(const OBXGlobals &g);
void MsgNotBlank(const OBXGlobals &g);
