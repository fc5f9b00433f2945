// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "script/ScriptLocation.h"

#include "script/Libpq.h"
#include "script/NativePath.h"
#include "script/ScriptError.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QRegularExpression& schemePattern()
{
    static const QRegularExpression pattern(u"^([A-Za-z][A-Za-z0-9+.-]*)://"_s);
    return pattern;
}

QString decoded(const QString& text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// The server keeps names of at most 63 bytes and would cut a longer one without a word.
constexpr int longestName = 63;

QString portProblem(const QString& hostAndPort)
{
    // "[::1]:5432" keeps its colons inside the brackets.
    const qsizetype close = hostAndPort.lastIndexOf(u']');
    const qsizetype colon = hostAndPort.lastIndexOf(u':');
    if (colon < 0 || colon < close)
        return {};
    const QString port = hostAndPort.mid(colon + 1);
    bool ok = false;
    const int number = port.toInt(&ok);
    if (ok && number >= 1 && number <= 65535 && !port.startsWith(u'+'))
        return {};
    return u"the port \"%1\" is not a number from 1 to 65535"_s.arg(port);
}

} // namespace

QString ScriptLocation::chosen(const QString& optionValue)
{
    if (!optionValue.isEmpty())
        return optionValue;
    const QString fromEnvironment = qEnvironmentVariable("VEYRATH_SCRIPT");
    return fromEnvironment.isEmpty() ? u"."_s : fromEnvironment;
}

bool ScriptLocation::isServer(const QString& text)
{
    return schemePattern().match(text).hasMatch();
}

QString ScriptLocation::whereShown(const QString& text)
{
    return isServer(text) ? parse(text).shown() : nativePath(QDir(text).absolutePath());
}

ScriptLocation ScriptLocation::parse(const QString& text)
{
    ScriptLocation location;
    if (!isServer(text)) {
        location.m_folder = text.isEmpty() ? u"."_s : text;
        location.m_shown = location.m_folder;
        return location;
    }
    location.m_kind = Kind::Server;
    location.parseServer(text);
    return location;
}

QString ScriptLocation::parameter(const QString& keyword) const
{
    for (const auto& [key, value] : m_parameters)
        if (key == keyword)
            return value;
    return {};
}

void ScriptLocation::parseServer(const QString& text)
{
    const QRegularExpressionMatch scheme = schemePattern().match(text);
    const QString rest = text.mid(scheme.capturedLength());
    const qsizetype queryAt = rest.indexOf(u'?');
    const QString beforeQuery = queryAt < 0 ? rest : rest.left(queryAt);
    const QStringList query =
        queryAt < 0 ? QStringList() : rest.mid(queryAt + 1).split(u'&', Qt::SkipEmptyParts);
    const qsizetype pathAt = beforeQuery.indexOf(u'/');
    const QString authority = pathAt < 0 ? beforeQuery : beforeQuery.left(pathAt);
    const QString path = pathAt < 0 ? QString() : beforeQuery.mid(pathAt);
    const qsizetype at = authority.lastIndexOf(u'@');
    const QString hosts = authority.mid(at + 1);
    QString user = at < 0 ? QString() : authority.left(at);
    bool passwordInUser = false;
    if (const qsizetype colon = user.indexOf(u':'); colon >= 0) {
        m_password = decoded(user.mid(colon + 1));
        user.truncate(colon);
        passwordInUser = true;
    }

    // What is shown and what libpq reads are built from the same pieces, neither with the
    // password, so that not even libpq's own complaint about the address can repeat it.
    QStringList kept;
    QStringList shownQuery;
    m_schema = defaultSchema();
    QString problem;
    for (const QString& piece : query) {
        const qsizetype equals = piece.indexOf(u'=');
        const QString key = decoded(piece.left(equals));
        if (key == u"password"_s) {
            m_password = decoded(piece.mid(equals + 1));
            shownQuery << u"password=***"_s;
            continue;
        }
        shownQuery << piece;
        if (equals < 0) {
            problem = u"the parameter \"%1\" has no value; write it as name=value"_s.arg(key);
        } else if (key == u"schema"_s) {
            m_schema = decoded(piece.mid(equals + 1));
            if (m_schema.isEmpty())
                problem =
                    u"the schema is empty; leave \"schema=\" out for \"%1\""_s.arg(defaultSchema());
            else if (m_schema.toUtf8().size() > longestName)
                problem = u"the schema \"%1\" is longer than the %2 bytes a server name holds"_s
                              .arg(m_schema)
                              .arg(longestName);
        } else {
            kept << piece;
        }
    }
    const QString authorityShown =
        (at < 0 ? QString() : user + (passwordInUser ? u":***"_s : QString()) + u'@') + hosts;
    m_shown = scheme.captured(0) + authorityShown + path +
              (shownQuery.isEmpty() ? QString() : u'?' + shownQuery.join(u'&'));

    const QString name = scheme.captured(1).toLower();
    if (name != u"postgresql"_s && name != u"postgres"_s)
        throw ScriptError(
            m_shown, u"\"%1://\" is no kind of script location this program knows; "
                     u"a script is a folder or a postgresql:// address"_s.arg(scheme.captured(1)));
    if (!problem.isEmpty())
        throw ScriptError(m_shown, problem);
    for (const QString& host : hosts.split(u','))
        if (const QString portFault = portProblem(host); !portFault.isEmpty())
            throw ScriptError(m_shown, portFault);

    const QString forLibpq = scheme.captured(0) + (user.isEmpty() ? QString() : user + u'@') +
                             hosts + path + (kept.isEmpty() ? QString() : u'?' + kept.join(u'&'));
    const Libpq* libpq = Libpq::get();
    if (!libpq)
        throw ScriptError(m_shown, QString::fromUtf8(Libpq::missing()));
    char* error = nullptr;
    std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(
        libpq->conninfoParse(forLibpq.toUtf8().constData(), &error), libpq->conninfoFree);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : u"out of memory"_s;
        libpq->freemem(error);
        throw ScriptError(m_shown, u"the address cannot be read: %1"_s.arg(reason));
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val && *option->val)
            m_parameters.append(
                {QString::fromUtf8(option->keyword), QString::fromUtf8(option->val)});
}
