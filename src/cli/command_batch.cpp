// batch: many commands in one process, for scripts that run hundreds of them
// (each start of the program costs more than most commands).
#include "cli/cli.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdio>

namespace quandor::cli {

int batchCommand(const Context& ctx, const Args& args) {
    if (args.words().size() != 1) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli batch DATEI|-"));
        return kUsage;
    }
    QFile file;
    const QString name = args.words().first();
    const bool opened = name == QStringLiteral("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        ctx.error(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(name));
        return kFileError;
    }
    // The batch's own global options hold for every line; a line may name its own.
    QStringList inherited;
    const std::pair<const char*, const QString*> globals[] = {
        {"--settings", &ctx.global.settingsPath},
        {"--db", &ctx.global.dbPath},
        {"--locale", &ctx.global.locale},
        {"--user", &ctx.global.user},
        {"--now", &ctx.global.now}};
    for (const auto& [option, value] : globals)
        if (!value->isEmpty()) inherited << QString::fromLatin1(option) << *value;
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith('#')) continue;
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
        QStringList arguments;
        bool ok = parseError.error == QJsonParseError::NoError && doc.isArray();
        for (const QJsonValue& v : doc.array()) {
            ok = ok && v.isString();
            arguments << v.toString();
        }
        if (!ok || arguments.isEmpty()) {
            ctx.error(QStringLiteral("Zeile %1: erwartet wird eine JSON-Liste von Texten, z. B. "
                                     "[\"year\", \"add\", \"2026\"].")
                          .arg(lineNumber));
            return kUsage;
        }
        int i = 0;
        while (i < arguments.size() && arguments[i].startsWith(QStringLiteral("--"))) i += 2;
        if (i < arguments.size() && arguments[i] == QStringLiteral("batch")) {
            ctx.error(
                QStringLiteral("Zeile %1: batch kann sich nicht selbst aufrufen.").arg(lineNumber));
            return kUsage;
        }
        std::fflush(ctx.out);
        const int code = run(inherited + arguments, ctx.out, ctx.err);
        std::fflush(ctx.out);
        if (code != kDone) {
            // Like a script with "set -e": nothing after a failed command runs.
            ctx.error(QStringLiteral(
                          "Zeile %1 endete mit %2; die folgenden Zeilen wurden nicht ausgeführt.")
                          .arg(lineNumber)
                          .arg(code));
            return code;
        }
    }
    return kDone;
}

}  // namespace quandor::cli
