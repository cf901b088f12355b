#pragma once
// A failure of the store or the file service ends the operation that met it with a clear
// message; the program itself goes on.

#include <QString>
#include <functional>

// Runs work; a StoreError, FileError or other std::exception is shown in a stop box with
// the given title, in the user's words where the cause is known (tips::userMessage).
// Returns false when the work failed.
bool runReportingErrors(const QString &title, const std::function<void()> &work);
