#pragma once
// Whether a window can be shown at all. Without a display Qt would abort with a long
// message about platform plugins; the program says in one line what is missing instead.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Why no window can be shown with these command-line arguments and this environment, as one
// line for the user; an empty text when a display (or a platform that needs none, such as
// offscreen or vnc) is at hand. Runs before QApplication exists.
QString missingDisplay(const QStringList &arguments, const QProcessEnvironment &environment);
