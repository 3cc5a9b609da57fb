// The language of the user and the language entry of a package that matches it.
#pragma once

#include <string>
#include <string_view>

// "|"-delimited list of language names (upper case, padded with blanks) and identifiers: two-digit
// primary language identifiers, then full language identifiers in decimal.
extern const char SLangId[];

// The name of the first table entry whose text contains the identifier written with at least two
// digits; empty when none does.
std::string LanguageNameOf(int primaryLanguageId);

// Whether name is a language of the table (blanks trimmed, letter case ignored).
bool IsLanguageName(std::string_view name);

// The primary language of the thread locale; English (9) when there is no locale.
int UserPrimaryLanguageId();

// The entry of a language block (0x02-delimited list of 0x01-delimited entries whose field 0 is a
// language name) to use for the user's language: the entry of that language, else the only entry,
// else the "English" entry, else the marker "*" (none).
std::string ChooseLanguageEntry(std::string_view languageBlock);
std::string ChooseLanguageEntryFor(std::string_view languageBlock, int primaryLanguageId);
