// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/WritingSystem.h"

#include <QLocale>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
struct Known {
    QChar::Script script;
    QLocale::Script locale; // for its name, and to find it from a language
    const char* language;   // whose voice reads it for a voice that cannot; null for none
};

// Each writing system with the language eSpeak NG reads it best in. Kana goes to Japanese
// and Han to Mandarin: eSpeak NG's Japanese voice says "Chinese letter" for every kanji.
constexpr Known known[] = {
    {QChar::Script_Latin, QLocale::LatinScript, "en"},
    {QChar::Script_Cyrillic, QLocale::CyrillicScript, "ru"},
    {QChar::Script_Greek, QLocale::GreekScript, "el"},
    {QChar::Script_Armenian, QLocale::ArmenianScript, "hy"},
    {QChar::Script_Hebrew, QLocale::HebrewScript, "he"},
    {QChar::Script_Arabic, QLocale::ArabicScript, "ar"},
    {QChar::Script_Devanagari, QLocale::DevanagariScript, "hi"},
    {QChar::Script_Bengali, QLocale::BanglaScript, "bn"},
    {QChar::Script_Gurmukhi, QLocale::GurmukhiScript, "pa"},
    {QChar::Script_Gujarati, QLocale::GujaratiScript, "gu"},
    {QChar::Script_Oriya, QLocale::OdiaScript, "or"},
    {QChar::Script_Tamil, QLocale::TamilScript, "ta"},
    {QChar::Script_Telugu, QLocale::TeluguScript, "te"},
    {QChar::Script_Kannada, QLocale::KannadaScript, "kn"},
    {QChar::Script_Malayalam, QLocale::MalayalamScript, "ml"},
    {QChar::Script_Sinhala, QLocale::SinhalaScript, "si"},
    {QChar::Script_Thai, QLocale::ThaiScript, "th"},
    {QChar::Script_Myanmar, QLocale::MyanmarScript, "my"},
    {QChar::Script_Georgian, QLocale::GeorgianScript, "ka"},
    {QChar::Script_Ethiopic, QLocale::EthiopicScript, "am"},
    {QChar::Script_Hangul, QLocale::HangulScript, "ko"},
    {QChar::Script_Hiragana, QLocale::HiraganaScript, "ja"},
    {QChar::Script_Katakana, QLocale::KatakanaScript, "ja"},
    {QChar::Script_Han, QLocale::HanScript, "cmn"},
    {QChar::Script_Cherokee, QLocale::CherokeeScript, "chr"},
    // Named when no voice reads them.
    {QChar::Script_Syriac, QLocale::SyriacScript, nullptr},
    {QChar::Script_Thaana, QLocale::ThaanaScript, nullptr},
    {QChar::Script_Lao, QLocale::LaoScript, nullptr},
    {QChar::Script_Tibetan, QLocale::TibetanScript, nullptr},
    {QChar::Script_Khmer, QLocale::KhmerScript, nullptr},
    {QChar::Script_Mongolian, QLocale::MongolianScript, nullptr},
    {QChar::Script_Bopomofo, QLocale::BopomofoScript, nullptr},
};

const Known* find(QChar::Script script)
{
    const auto* it = std::find_if(std::begin(known), std::end(known),
                                  [script](const Known& k) { return k.script == script; });
    return it == std::end(known) ? nullptr : it;
}

// Languages that QLocale does not know, or knows in a writing system other than the one
// eSpeak NG reads them in.
struct Exception {
    const char* language;
    QList<QChar::Script> scripts;
};

const QList<Exception>& exceptions()
{
    static const QList<Exception> list{
        {"ja", {QChar::Script_Hiragana, QChar::Script_Katakana}},
        {"ko", {QChar::Script_Hangul}},
        {"zh", {QChar::Script_Han}},
        {"cmn", {QChar::Script_Han}},
        {"yue", {QChar::Script_Han}},
        {"hak", {QChar::Script_Han}},
        {"bpy", {QChar::Script_Bengali}},
        {"grc", {QChar::Script_Greek}},
        {"hyw", {QChar::Script_Armenian}},
        {"nog", {QChar::Script_Cyrillic}},
        {"shn", {QChar::Script_Myanmar}},
    };
    return list;
}
} // namespace

QChar::Script WritingSystem::of(char32_t c)
{
    const QChar::Script script = QChar::script(c);
    // A letter of a writing system marked as "inherited" (a combining accent) or a digit of
    // one (Arabic-Indic digits) is read with its neighbours as well.
    return script == QChar::Script_Inherited || script == QChar::Script_Unknown
               ? QChar::Script_Common
               : script;
}

QString WritingSystem::name(QChar::Script script)
{
    const Known* k = find(script);
    return k ? QLocale::scriptToString(k->locale) : QString();
}

QString WritingSystem::language(QChar::Script script)
{
    const Known* k = find(script);
    return k && k->language ? QString::fromLatin1(k->language) : QString();
}

QList<QChar::Script> WritingSystem::readBy(const QString& language)
{
    const QString tag = language.toLower();
    // "fa-Latn", "cmn-Latn-pinyin": the language written in Latin letters.
    if (tag.contains(u"-latn"_s))
        return {QChar::Script_Latin};
    const QString base = tag.section(u'-', 0, 0);
    for (const Exception& e : exceptions()) {
        if (base == QLatin1String(e.language))
            return e.scripts;
    }
    const QLocale locale(tag);
    // The languages QLocale does not know that eSpeak NG speaks (Papiamento, Lojban,
    // Latgalian and the like) are all written in Latin letters.
    if (locale.language() == QLocale::C)
        return {QChar::Script_Latin};
    QLocale::Script script = locale.script();
    if (script == QLocale::SimplifiedHanScript || script == QLocale::TraditionalHanScript)
        script = QLocale::HanScript;
    for (const Known& k : known) {
        if (k.locale == script)
            return {k.script};
    }
    return {};
}
