#pragma once
// What the crash harness and its child process agree on: the operations and the names of
// what they work on.

#include <QDate>
#include <QString>
#include <array>
#include <optional>

namespace crash {

enum class Operation { Merge, Export, AddGroup, DeleteGroup };
inline constexpr std::array kOperations = {Operation::Merge, Operation::Export, Operation::AddGroup,
                                           Operation::DeleteGroup};

inline QString operationName(Operation operation) {
  switch (operation) {
  case Operation::Merge:
    return QStringLiteral("import-merge");
  case Operation::Export:
    return QStringLiteral("export-build");
  case Operation::AddGroup:
    return QStringLiteral("add-group");
  case Operation::DeleteGroup:
    return QStringLiteral("delete-group");
  }
  return {};
}

inline std::optional<Operation> operationNamed(const QString &name) {
  for (Operation operation : kOperations)
    if (operationName(operation) == name)
      return operation;
  return std::nullopt;
}

// Every row an operation writes is dated this day, so that two runs end in the same state.
inline const QDate kToday{2027, 6, 1};
inline constexpr const char *kExportName = "Crash";
inline constexpr const char *kNewGroup = "Crash Added Group";
inline constexpr const char *kNewPicture = "chosen-picture.jpg"; // in the home folder
inline constexpr const char *kDoomedGroup = "Crash Doomed Group";

} // namespace crash
