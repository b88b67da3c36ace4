#include "cli/session.h"

#include <QLocale>

namespace quandor::cli {

int CliUiPort::alert(AlertStyle, const QString& title, const QString& message,
                     const QStringList& buttons) {
    ++alerts_;
    QString text = message;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    ctx_.error(title.isEmpty() ? text : QStringLiteral("%1: %2").arg(title, text));
    // Questions are "action, Abbrechen" or "Abbrechen, action"; --yes presses the action.
    if (yes_ && buttons.size() >= 2) {
        for (int i = 0; i < buttons.size(); ++i)
            if (buttons[i] != QStringLiteral("Abbrechen")) return i;
    }
    return 0;
}

void CliUiPort::schedule(int, std::function<void()> step) {
    pending_.push_back(std::move(step));
}

void CliUiPort::drain() {
    // Steps may schedule further steps; a bound keeps a faulty chain from looping forever.
    for (int guard = 0; !pending_.empty() && guard < 10000; ++guard) {
        auto step = std::move(pending_.front());
        pending_.pop_front();
        step();
    }
}

std::optional<QDateTime> parseNow(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!t.isValid()) t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid()) return std::nullopt;
    return t.toUTC();
}

// --user ID (command_users.cpp).
bool chooseUser(const Context& ctx, Settings& settings, QuandorAppDelegate& delegate,
                int* exitCode);

std::unique_ptr<Session> Session::open(const Context& ctx, int* exitCode, bool loadDatabase) {
    *exitCode = kDone;
    std::unique_ptr<Session> s(new Session(ctx));

    QDateTime fixedNow;
    if (!ctx.global.now.isEmpty()) {
        const auto parsed = parseNow(ctx.global.now);
        if (!parsed) {
            ctx.error(
                QStringLiteral(
                    "„%1“ ist keine gültige Zeitangabe (ISO-8601, z. B. 2024-03-31T12:00:00Z).")
                    .arg(ctx.global.now));
            *exitCode = kUsage;
            return nullptr;
        }
        fixedNow = *parsed;
    }
    QLocale::setDefault(
        QLocale(ctx.global.locale.isEmpty() ? QStringLiteral("de_DE") : ctx.global.locale));

    s->settings_ = ctx.global.settingsPath.isEmpty()
                       ? std::make_unique<Settings>()
                       : std::make_unique<Settings>(ctx.global.settingsPath);
    if (s->settings_->status() != Settings::Status::Ok) ctx.error(s->settings_->problem());

    QuandorAppDelegate::Clock clock;
    if (fixedNow.isValid()) clock = [fixedNow] { return fixedNow; };
    s->delegate_ =
        std::make_unique<QuandorAppDelegate>(*s->settings_, s->ui_, Paths::standard(), clock);
    // A command runs briefly: it does not wait for a desktop program's lock to go.
    s->delegate_->setLockWaitMs(0);
    s->delegate_->setCommandLine(true);
    if (!ctx.global.dbPath.isEmpty()) s->delegate_->setDatabaseFileOverride(ctx.global.dbPath);
    if (!ctx.global.user.isEmpty() && !chooseUser(ctx, *s->settings_, *s->delegate_, exitCode))
        return nullptr;
    if (!loadDatabase) return s;

    using Outcome = QuandorAppDelegate::LoadOutcome;
    const Outcome outcome = s->delegate_->openDatabase();
    // What loading schedules for later (the backup reminder, restoring the
    // window's selections) belongs to the desktop program; a command has ended by then.
    s->ui_.discardPending();
    switch (outcome) {
        case Outcome::Loaded:
            return s;
        case Outcome::NoUser:
            ctx.error(QStringLiteral(
                "Es sind mehrere Benutzer eingeschaltet; wähle einen mit --user ID."));
            *exitCode = kUsage;
            return nullptr;
        case Outcome::FolderMissing:
        case Outcome::Unreadable:
        case Outcome::Locked:
            // The delegate has told the reason as an alert.
            *exitCode = kFileError;
            return nullptr;
    }
    return s;
}

int Session::save() {
    using Outcome = QuandorAppDelegate::SaveOutcome;
    const Outcome outcome = delegate_->saveDataToDisk(true);
    ui_.drain();
    if (outcome == Outcome::Written || outcome == Outcome::Unchanged) return kDone;
    if (outcome == Outcome::Failed && ui_.alertCount() == 0) ctx_.error(delegate_->lastSaveError());
    return kFileError;
}

}  // namespace quandor::cli

namespace quandor::cli {

bool Session::syncSettings() {
    if (!settings_) return true;
    QString error;
    if (settings_->sync(&error)) return true;
    if (!settingsFailureTold_ && settings_->status() == Settings::Status::Ok) ctx_.error(error);
    settingsFailureTold_ = true;
    return false;
}

Session::~Session() {
    // What the command changed in the settings (counters, remembered choices)
    // reaches the file here; a file that cannot be written is told, not passed over.
    syncSettings();
    if (delegate_)
        releaseAtExit(std::make_shared<const Database>(std::move(delegate_->database())));
}

}  // namespace quandor::cli
