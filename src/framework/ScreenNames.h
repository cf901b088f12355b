#pragma once
// The name of every screen, written once. A screen is loaded, handed over to and found by
// its name, and tests find it by the same name (the window's objectName).

#include <QLatin1StringView>

namespace screen {

inline constexpr QLatin1StringView frmOmbrixShow{"frmOmbrixShow"};
inline constexpr QLatin1StringView frmScreenDefault{"frmScreenDefault"};
inline constexpr QLatin1StringView frmAbout{"frmAbout"};
inline constexpr QLatin1StringView frmUserDetails{"frmUserDetails"};

inline constexpr QLatin1StringView frmAddGroup{"frmAddGroup"};
inline constexpr QLatin1StringView frmEditGroup1{"frmEditGroup1"};
inline constexpr QLatin1StringView frmEditGroup2{"frmEditGroup2"};
inline constexpr QLatin1StringView frmDelGroup1{"frmDelGroup1"};
inline constexpr QLatin1StringView frmDelGroup2{"frmDelGroup2"};

inline constexpr QLatin1StringView frmAddSubject{"frmAddSubject"};
inline constexpr QLatin1StringView frmEditSubject1{"frmEditSubject1"};
inline constexpr QLatin1StringView frmEditSubject2{"frmEditSubject2"};
inline constexpr QLatin1StringView frmDelSubject1{"frmDelSubject1"};
inline constexpr QLatin1StringView frmDelSubject2{"frmDelSubject2"};

inline constexpr QLatin1StringView frmExport1{"frmExport1"};
inline constexpr QLatin1StringView frmExport2{"frmExport2"};
inline constexpr QLatin1StringView frmImport1{"frmImport1"};
inline constexpr QLatin1StringView frmImport2{"frmImport2"};
inline constexpr QLatin1StringView frmImportDetails{"frmImportDetails"};

inline constexpr QLatin1StringView frmFindTips{"frmFindTips"};
inline constexpr QLatin1StringView frmTipOfTheDay{"frmTipOfTheDay"};
inline constexpr QLatin1StringView frmSaveDocument{"frmSaveDocument"};

} // namespace screen
