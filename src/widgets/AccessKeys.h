#pragma once
// Alt+letter access keys for the menus. Captions are written plain where menus are built;
// the keys are added in one pass over the finished menu bar, so every screen's menus get
// them the same way and the letters never clash within one menu.

#include <QString>
#include <QStringList>

class QMenuBar;

namespace accessKeys {

// The captions of one menu, each with an access key marked by '&' before its letter: the
// first letter of a word not yet taken in that menu, else any letter or digit not taken,
// else none. Case is ignored; a caption that already marks a key keeps it and takes it.
// "&&" stands for a plain ampersand and is no key.
QStringList withAccessKeys(const QStringList &captions);

// The caption as the user reads it: the key marker removed, "&&" back to "&".
QString plainCaption(const QString &text);

// Gives every menu of the bar, and every item of its menus at every depth, an access key.
void addAccessKeys(QMenuBar *bar);

} // namespace accessKeys
