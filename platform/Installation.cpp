#include "platform/Installation.h"

#include "platform/CProfile.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingKey.h"

#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

struct LanguageId {
    std::string_view code;
    int id;
};

// The primary language of each id: the language as spoken in its main country.
constexpr LanguageId knownLanguages[] = {
    {"ar", 1025}, {"bg", 1026}, {"ca", 1027}, {"cs", 1029}, {"da", 1030}, {"de", 1031}, {"el", 1032},
    {"es", 3082}, {"fi", 1035}, {"fr", 1036}, {"he", 1037}, {"hu", 1038}, {"is", 1039}, {"it", 1040},
    {"ja", 1041}, {"ko", 1042}, {"nl", 1043}, {"nb", 1044}, {"no", 1044}, {"pl", 1045}, {"pt", 2070},
    {"ro", 1048}, {"ru", 1049}, {"hr", 1050}, {"sk", 1051}, {"sq", 1052}, {"sv", 1053}, {"th", 1054},
    {"tr", 1055}, {"id", 1057}, {"uk", 1058}, {"be", 1059}, {"sl", 1060}, {"et", 1061}, {"lv", 1062},
    {"lt", 1063}, {"fa", 1065}, {"vi", 1066}, {"hi", 1081}, {"ms", 1086}, {"sr", 2074},
};

} // namespace

int editionCode()
{
    CProfile installFile;
    installFile.setPath((programFolder() + "Install.INI").c_str());
    return readSetting(installFile, kEditionKey);
}

int languageIdOfLocale(const std::string& localeName)
{
    const std::string_view name(localeName);
    const std::string_view language = name.substr(0, name.find_first_of("_.@"));
    if (language == "zh")
        return 2052;
    if (name.starts_with("pt_BR"))
        return 1046;
    for (const LanguageId& known : knownLanguages) {
        if (known.code == language)
            return known.id;
    }
    return 1033;
}

int systemDefaultLanguage()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return languageIdOfLocale(value);
    }
    return 1033;
}

} // namespace platform
