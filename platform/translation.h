// The program's text in the player's language, through the C library's gettext. The catalogues
// ("quillfen-solitaire.mo") live in <data>/locale/<code>/LC_MESSAGES in a build and in
// <prefix>/share/locale/<code>/LC_MESSAGES when installed; their UTF-8 text is converted to the
// Windows-1252 of the bitmap fonts. Until ChooseLanguage runs every text stays English, so tests
// read English whatever the machine's locale.
//
// xgettext keywords (po/CMakeLists.txt): Translate:1,1t Translate:1c,2,2t TranslateLater:1,1t
// TranslateLater:1c,2,2t TranslatePlural:1,2.
#pragma once

#include <string>
#include <string_view>

// The translated languages besides English, as catalogue folder names.
inline constexpr const char* kTranslatedLanguages[] = {"de", "fr", "es", "it", "pt", "nl"};

// The language named by a locale's environment as gettext reads it: LC_ALL, else LC_MESSAGES,
// else LANG (the first one set and not empty), then LANGUAGE's first entry we translate to when
// that locale is not C. "de_DE.UTF-8" gives "de"; English, C and untranslated languages give "".
std::string LanguageFromEnvironment(const char* lcAll, const char* lcMessages, const char* lang,
                                    const char* language);

// Chooses the language for the rest of the run: code ("de", "pt_BR", ...) as from --lang, or the
// environment's when empty. "en", "C" and codes without a catalogue mean English. Returns the
// catalogue code in use, "" for English. It needs no generated locale for the language: messages
// are looked up under C.UTF-8 with the code in LANGUAGE, which the C library honours there.
std::string ChooseLanguage(std::string_view code);
// The code ChooseLanguage settled on ("" for English).
const std::string& CurrentLanguage();
// The folder searched for catalogues.
std::string CatalogueDirectory();

// The text in the current language, in Windows-1252; english itself when untranslated. The
// pointer stays valid for the rest of the run.
const char* Translate(const char* english);
// The same for a text whose English is ambiguous: context tells the translator which meaning
// ("Deal" as the noun or as the verb).
const char* Translate(const char* context, const char* english);
// One of two texts by count, as the language's plural rule chooses (English: n == 1 or not).
const char* TranslatePlural(const char* one, const char* many, unsigned long n);
// Marks a literal in a table for the catalogue; the code translates it where it is shown.
constexpr const char* TranslateLater(const char* english) { return english; }
constexpr const char* TranslateLater(const char*, const char* english) { return english; }

// printf into a string, for formats that come translated ("%s Rule Settings").
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Numbers as the language writes them: English in plain digits, the others grouped by threes from
// five digits on ("12.345", French "12 345"); and the language's decimal sign.
std::string GroupDigits(long long value);
char DecimalSign();

// UTF-8 to Windows-1252. False when a character has no Windows-1252 code or the UTF-8 is broken;
// out then holds '?' in its place.
bool Utf8ToWindows1252(std::string_view utf8, std::string* out);
// Windows-1252 to UTF-8 (every byte has a meaning; the five unassigned ones pass as U+0081 ...).
std::string Windows1252ToUtf8(std::string_view text);
