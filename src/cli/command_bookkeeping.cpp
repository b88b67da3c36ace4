// year add and statement add: the year and statement sheets of the main window,
// filled in and confirmed without a window.
#include "bookkeeping/years_controller.h"
#include "cli/cli.h"
#include "cli/session.h"
#include "core/archive/canonical_json.h"
#include "core/keys.h"
#include "core/settings_keys.h"

#include <vector>

namespace quandor::cli {

namespace {

// The first-steps flags that opening a sheet sets. A refused command leaves
// nothing changed on disk, so they are put back as they were.
class SheetFlagsGuard {
  public:
    explicit SheetFlagsGuard(Settings& settings) : settings_(settings) {
        for (const Flag& f : flags())
            saved_.push_back(
                {settings.contains(f.key), f.isBool ? QVariant(settings.getBool(f.key))
                                                    : QVariant(qlonglong(settings.getInt(f.key)))});
    }
    void restore() {
        for (size_t i = 0; i < flags().size(); ++i) {
            const Flag& f = flags()[i];
            if (!saved_[i].present)
                settings_.remove(f.key);
            else if (f.isBool)
                settings_.setBool(f.key, saved_[i].value.toBool());
            else
                settings_.setInt(f.key, saved_[i].value.toLongLong());
        }
    }

  private:
    struct Flag {
        QStringView key;
        bool isBool;
    };
    struct Saved {
        bool present;
        QVariant value;
    };
    static const std::vector<Flag>& flags() {
        static const std::vector<Flag> all = {{prefs::jaImage, false},
                                              {prefs::firstYearSet, true},
                                              {prefs::firstListSet, true},
                                              {prefs::prefsSelectedYearTabTag, false},
                                              {prefs::prefsSelectedTabTabTag, false}};
        return all;
    }
    Settings& settings_;
    std::vector<Saved> saved_;
};

// The first year named `name` in list order, or -1.
int yearIndexNamed(const Database& db, const QString& name) {
    for (size_t i = 0; i < db.years.size(); ++i)
        if (db.years[i]->text(keys::dateValue) == name) return static_cast<int>(i);
    return -1;
}

// Saves and prints the new record as canonical JSON.
int saveAndPrint(const Context& ctx, Session& session, const RecordPtr& record) {
    const int code = session.save();
    if (code != kDone) return code;
    ctx.print(archive::canonicalJson(Value(record)) + '\n');
    return kDone;
}

}  // namespace

int yearCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    if (w.size() != 2 || w[0] != QStringLiteral("add")) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli year add NAME"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;

    SheetFlagsGuard flags(session->settings());
    OpenSheet sheet;
    YearsController controller(session->delegate().books(), sheet);
    controller.addYear();
    const RecordPtr year = controller.sheet().record;
    controller.setYearName(w[1]);
    if (!controller.closeYear()) {
        controller.cancelYear();
        flags.restore();
        return kRefused;
    }
    return saveAndPrint(ctx, *session, year);
}

int statementCommand(const Context& ctx, const Args& args) {
    const QStringList& w = args.words();
    const auto yearName = args.option(QStringLiteral("--year"));
    if (w.size() != 2 || w[0] != QStringLiteral("add") || !yearName) {
        ctx.error(QStringLiteral("Aufruf: quandor-cli statement add --year JAHR TITEL"));
        return kUsage;
    }
    int code = kDone;
    auto session = Session::open(ctx, &code);
    if (!session) return code;

    const int yearIndex = yearIndexNamed(session->database(), *yearName);
    if (yearIndex < 0) {
        ctx.error(QStringLiteral("Das Jahr „%1“ gibt es nicht.").arg(*yearName));
        return kUsage;
    }
    Selection& selection = session->delegate().selection();
    selection.setYearIndex(yearIndex);

    SheetFlagsGuard flags(session->settings());
    OpenSheet sheet;
    YearsController controller(session->delegate().books(), sheet);
    controller.addList();
    const RecordPtr statement = controller.sheet().record;
    if (!statement) {  // refused before the sheet opened
        flags.restore();
        return kRefused;
    }
    controller.setListTitle(w[1]);
    if (!controller.closeList()) {
        controller.cancelList();
        flags.restore();
        return kRefused;
    }
    return saveAndPrint(ctx, *session, statement);
}

}  // namespace quandor::cli
