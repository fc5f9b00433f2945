// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "voice/SpeakableText.h"

#include <QHash>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {
// Letters that no decomposition takes to plain Latin ones.
const QHash<QChar, QString>& spelledLetters()
{
    static const QHash<QChar, QString> letters{
        {u'ß', u"ss"_s}, {u'æ', u"ae"_s}, {u'Æ', u"AE"_s}, {u'œ', u"oe"_s}, {u'Œ', u"OE"_s},
        {u'ø', u"o"_s},  {u'Ø', u"O"_s},  {u'đ', u"d"_s},  {u'Đ', u"D"_s},  {u'ł', u"l"_s},
        {u'Ł', u"L"_s},  {u'þ', u"th"_s}, {u'Þ', u"Th"_s}, {u'ð', u"d"_s},  {u'Ð', u"D"_s},
        {u'ı', u"i"_s},  {u'‘', u"'"_s},  {u'’', u"'"_s},  {u'“', u"\""_s}, {u'”', u"\""_s},
        {u'„', u"\""_s}, {u'«', u"\""_s}, {u'»', u"\""_s}, {u'–', u"-"_s},  {u'—', u"-"_s},
    };
    return letters;
}

QString markName(char32_t mark)
{
    static const QHash<QChar, QString> names{
        {u'!', u"exclamation mark"_s},
        {u'"', u"quote"_s},
        {u'#', u"hash"_s},
        {u'$', u"dollar"_s},
        {u'%', u"percent"_s},
        {u'&', u"ampersand"_s},
        {u'\'', u"apostrophe"_s},
        {u'(', u"open bracket"_s},
        {u')', u"close bracket"_s},
        {u'*', u"star"_s},
        {u'+', u"plus"_s},
        {u',', u"comma"_s},
        {u'-', u"dash"_s},
        {u'.', u"dot"_s},
        {u'/', u"slash"_s},
        {u':', u"colon"_s},
        {u';', u"semicolon"_s},
        {u'<', u"less than"_s},
        {u'=', u"equals"_s},
        {u'>', u"greater than"_s},
        {u'?', u"question mark"_s},
        {u'@', u"at"_s},
        {u'[', u"open square bracket"_s},
        {u'\\', u"backslash"_s},
        {u']', u"close square bracket"_s},
        {u'^', u"caret"_s},
        {u'_', u"underscore"_s},
        {u'`', u"backtick"_s},
        {u'{', u"open brace"_s},
        {u'|', u"bar"_s},
        {u'}', u"close brace"_s},
        {u'~', u"tilde"_s},
    };
    return mark < 128 ? names.value(QChar(mark), u"symbol"_s) : u"symbol"_s;
}

bool isAsciiLetterOrDigit(QChar c)
{
    return c.unicode() < 128 && c.isLetterOrNumber();
}

// "?!..." is read "question mark, exclamation mark, dot, dot, dot"; a long row of one mark
// is counted rather than read out mark by mark. An emoji is one symbol, not two halves.
QString nameMarks(const QString& text)
{
    const QList<uint> marks = text.toUcs4();
    QStringList words;
    for (qsizetype i = 0; i < marks.size();) {
        const auto mark = char32_t(marks.at(i));
        qsizetype end = i + 1;
        while (end < marks.size() && marks.at(end) == mark)
            ++end;
        if (!QChar::isSpace(mark)) {
            const qsizetype run = end - i;
            if (run > 3)
                words << u"%1 times %2"_s.arg(markName(mark)).arg(run);
            else
                for (qsizetype k = 0; k < run; ++k)
                    words << markName(mark);
        }
        i = end;
    }
    return words.join(u", "_s);
}

// Where a piece that is too long is best cut, at most `limit` characters in: after a clause
// mark, else at a blank, else (one long word) at the limit itself.
qsizetype cutPoint(const QString& text, qsizetype limit)
{
    const qsizetype least = limit / 4;
    for (qsizetype i = limit; i > least; --i) {
        const QChar c = text.at(i - 1);
        if ((c == u',' || c == u';' || c == u':') && i < text.size() && text.at(i).isSpace())
            return i;
    }
    const qsizetype blank = text.lastIndexOf(u' ', limit);
    return blank > 0 ? blank : limit;
}
} // namespace

QString SpeakableText::prepare(const QString& line)
{
    const QString decomposed = line.normalized(QString::NormalizationForm_KD);
    QString text;
    text.reserve(decomposed.size());
    bool droppedLetters = false;
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.unicode() < 128) {
            text += c;
        } else if (const auto spelled = spelledLetters().constFind(c);
                   spelled != spelledLetters().cend()) {
            text += *spelled;
        } else if (c.isLetterOrNumber()) {
            droppedLetters = true;
            text += u' ';
        } else {
            text += c.isSpace() ? QChar(u' ') : c;
        }
    }
    if (std::any_of(text.cbegin(), text.cend(), isAsciiLetterOrDigit))
        return text.simplified();
    if (droppedLetters)
        return {};
    return nameMarks(text.simplified());
}

QStringList SpeakableText::pieces(const QString& text, int firstPiece, int maxPiece)
{
    // A sentence ends at its marks and any closing quote or bracket after them.
    static const QRegularExpression sentenceEnd(uR"([.!?]+["')\]]*\s+)"_s);
    QStringList sentences;
    qsizetype from = 0;
    for (auto it = sentenceEnd.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        sentences << text.sliced(from, match.capturedEnd() - from);
        from = match.capturedEnd();
    }
    sentences << text.sliced(from);

    QStringList pieces;
    for (QString rest : sentences) {
        rest = rest.simplified();
        while (!rest.isEmpty()) {
            const qsizetype limit = pieces.isEmpty() ? firstPiece : maxPiece;
            const qsizetype cut = rest.size() <= limit ? rest.size() : cutPoint(rest, limit);
            pieces << rest.first(cut).trimmed();
            rest = rest.sliced(cut).trimmed();
        }
    }
    return pieces;
}
