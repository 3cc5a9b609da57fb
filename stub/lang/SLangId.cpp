#include "SLangId.h"

#include "KSUB.h"
#include "Platform.h"
#include "Utils.h"

const char SLangId[] =
    "|AFRIKAANS            = 54"
    "|ALBANIAN             = 28"
    "|ARABIC               = 01"
    "|BASQUE               = 45"
    "|BELARUSIAN           = 35"
    "|BULGARIAN            = 02"
    "|CATALAN              = 03"
    "|CHINESE              = 04"
    "|CROATIAN             = 26"
    "|CZECH                = 05"
    "|DANISH               = 06"
    "|DUTCH                = 19"
    "|ENGLISH              = 09"
    "|ESTONIAN             = 37"
    "|FAEROESE             = 56"
    "|FARSI                = 41"
    "|FINNISH              = 11"
    "|FRENCH               = 12"
    "|GERMAN               = 07"
    "|GREEK                = 08"
    "|HEBREW               = 13"
    "|HUNGARIAN            = 14"
    "|ICELANDIC            = 15"
    "|INDONESIAN           = 33"
    "|ITALIAN              = 16"
    "|JAPANESE             = 17"
    "|KOREAN               = 18"
    "|LATVIAN              = 38"
    "|LITHUANIAN           = 39"
    "|NORWEGIAN            = 20"
    "|POLISH               = 21"
    "|PORTUGUESE           = 22"
    "|ROMANIAN             = 24"
    "|RUSSIAN              = 25"
    "|SERBIAN              = 26"
    "|SLOVAK               = 27"
    "|SLOVENIAN            = 36"
    "|SPANISH              = 10"
    "|SWEDISH              = 29"
    "|THAI                 = 30"
    "|TURKISH              = 31"
    "|UKRAINIAN            = 34"
    "|VIETNAMESE           = 42"
    "|CHINESE(SIMPLIFIED)  = 2052"
    "|CHINESE(TRADITIONAL) = 1028"
    "|DUTCH(FLEMISH)       = 2067"
    "|DUTCH(STANDARD)      = 1043"
    "|PORTUGUESE(PORTUGAL) = 2070"
    "|PORTUGUESE(BRAZIL)   = 1046"
    "|SERBIAN(LATIN)       = 2074"
    "|SERBIAN(CYRILIC)     = 3098"
    "|";

namespace {

const char NoEntry[] = "*";

std::string TableName(std::string_view entry) { return Trim(TextBefore(entry, "=", entry)); }

std::string FindEntry(std::string_view languageBlock, std::string_view wanted)
{
    const std::vector<std::string> entries = SUB::Fields(languageBlock);
    for (const std::string& entry : entries)
        if (SameTextTrimmed(SUB::Field(entry, 0, ""), wanted))
            return entry;
    return entries.size() == 1 ? entries[0] : NoEntry;
}

} // namespace

std::string LanguageNameOf(int primaryLanguageId)
{
    const std::string code = IntToZeroPadded(primaryLanguageId, 2);
    for (const std::string& entry : SUB::Fields(SLangId))
        if (entry.find(code) != std::string::npos)
            return TableName(entry);
    return {};
}

bool IsLanguageName(std::string_view name)
{
    for (const std::string& entry : SUB::Fields(SLangId))
        if (SameTextTrimmed(TableName(entry), name))
            return true;
    return false;
}

int UserPrimaryLanguageId()
{
    const std::uint32_t locale = ThreadLocaleId();
    return locale == 0 ? 9 : static_cast<int>(locale & 0x3FF);
}

std::string ChooseLanguageEntry(std::string_view languageBlock)
{
    return ChooseLanguageEntryFor(languageBlock, UserPrimaryLanguageId());
}

std::string ChooseLanguageEntryFor(std::string_view languageBlock, int primaryLanguageId)
{
    std::string entry = FindEntry(languageBlock, LanguageNameOf(primaryLanguageId));
    if (entry == NoEntry)
        entry = FindEntry(languageBlock, "English");
    // An empty only entry would read as "not chosen yet"; it holds no texts anyway.
    return entry.empty() ? NoEntry : entry;
}
