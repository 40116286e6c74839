#pragma once

#include "platform/SettingKey.h"

#include <string>

// What the installation and the system say before start-up: the edition and the user's language.
namespace platform {

// The edition of an installation, in Install.INI, written by the installer.
constexpr IntKey kEditionKey{"Install", "Edition", 0};

// [Install] Edition of Install.INI in the program folder; 0 when missing.
int editionCode();

// The Windows language id of a locale name such as "zh_CN.UTF-8": 2052 for every Chinese locale, 1033 for
// every English one, the id of the language's main country for other known languages, else 1033.
int languageIdOfLocale(const std::string& localeName);
// The language id of the user's locale (LC_ALL, LC_MESSAGES, then LANG).
int systemDefaultLanguage();

} // namespace platform
