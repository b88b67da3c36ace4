// rewrite and settings: commands on the open database and the settings store.
#include "cli/cli.h"
#include "cli/session.h"

#include <QRegularExpression>

namespace quandor::cli {

QString openDatabasePath(const Context& ctx) {
    int code = kDone;
    auto session = Session::open(ctx, &code, false);
    if (!session) return QString();
    return session->delegate().pathForDataFile();
}

int rewriteCommand(const Context& ctx, const Args& args) {
    if (!args.words().isEmpty()) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli rewrite"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;
    return session->save();
}

namespace {

enum class ValueType { Bool, Int, Float, Text, Date };

std::optional<ValueType> typeNamed(const QString& name) {
    if (name == "bool") return ValueType::Bool;
    if (name == "int") return ValueType::Int;
    if (name == "float") return ValueType::Float;
    if (name == "text") return ValueType::Text;
    if (name == "date") return ValueType::Date;
    return std::nullopt;
}

// Without --type the value's form decides: true/false, a whole number, a
// decimal number, an ISO date, else text.
ValueType guessType(const QString& value) {
    if (value == "true" || value == "false") return ValueType::Bool;
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]*\\.[0-9]+$"));
    static const QRegularExpression isoDate(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}(T.*)?$"));
    if (whole.match(value).hasMatch()) return ValueType::Int;
    if (decimal.match(value).hasMatch()) return ValueType::Float;
    if (isoDate.match(value).hasMatch() && parseNow(value)) return ValueType::Date;
    return ValueType::Text;
}

}  // namespace

int settingsCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const QString usage = QStringLiteral(
        "Aufruf: quandor-cli settings get SCHLÜSSEL | settings set SCHLÜSSEL WERT [--type "
        "bool|int|float|text|date] | settings list");
    if (w.isEmpty()) {
        ctx.error(usage);
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code, false);
    if (!session) return code;
    Settings& settings = session->settings();

    if (w[0] == "list" && w.size() == 1) {
        for (const QString& key : settings.keys())
            ctx.printLine(key + '=' + settings.storedText(key));
        return kDone;
    }
    if (w[0] == "get" && w.size() == 2) {
        if (!settings.contains(w[1])) return kDone;  // never written: empty
        ctx.printLine(settings.storedText(w[1]));
        return kDone;
    }
    if (w[0] == "set" && w.size() == 3) {
        const QString& key = w[1];
        const QString& value = w[2];
        ValueType type = guessType(value);
        if (const auto t = args.option("--type")) {
            const auto named = typeNamed(*t);
            if (!named) {
                ctx.error(QStringLiteral("Unbekannter Typ „%1“ (bool, int, float, text oder date).")
                              .arg(*t));
                return kUsage;
            }
            type = *named;
        }
        bool ok = true;
        switch (type) {
            case ValueType::Bool:
                ok = value == "true" || value == "false" || value == "1" || value == "0";
                if (ok) settings.setBool(key, value == "true" || value == "1");
                break;
            case ValueType::Int: {
                const qlonglong v = value.toLongLong(&ok);
                if (ok) settings.setInt(key, v);
                break;
            }
            case ValueType::Float: {
                const auto v = Settings::parseFloat(value);
                ok = v.has_value();
                if (ok) settings.setFloat(key, *v);
                break;
            }
            case ValueType::Text:
                settings.setText(key, value);
                break;
            case ValueType::Date: {
                const auto v = parseNow(value);
                ok = v.has_value();
                if (ok) settings.setDate(key, *v);
                break;
            }
        }
        if (!ok) {
            ctx.error(QStringLiteral("„%1“ passt nicht zum gewählten Typ.").arg(value));
            return kUsage;
        }
        return session->syncSettings() ? kDone : kFileError;
    }
    ctx.error(usage);
    return kUsage;
}

}  // namespace quandor::cli
