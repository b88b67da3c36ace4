// The tax-advisor package: "Quandor Jahresberichte" on the desktop with the
// year's items as CSV (Mac Roman) and XML, the four reports as PDF and a copy
// of every document attached to the year's items.
//
//   steuerberaterAction (checks, "Geduld!", folder, CSV, document copies start)
//     ─▶ packageStep(Umsatz) ─▶ … ─▶ packageStep(Gewinne)   each page built here,
//                                                          its PDF rendered off the main thread
//     ─▶ finishSteuerberater (PDFs written in order as they arrive, copies
//        collected, XML) ─▶ packageAlert
//
// Records are read only on the main thread; the workers get pages and paths.
// Every file replaces the old one atomically, so a second run leaves no file
// of the first. What could not be written is told at the end instead of the
// success alert.
#include "bookkeeping/alert_words.h"
#include "core/atomic_file.h"
#include "core/backup.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "print/page.h"
#include "reports/journal_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <future>

namespace quandor {

namespace P = prefs;

const QString JournalController::kPackageFolderName = QStringLiteral("Quandor Jahresberichte");
const QString JournalController::kNoItems =
    QStringLiteral("Du musst erst eine Abrechnung und zugehörige Posten anlegen.");
const QString JournalController::kPackagePatience = QStringLiteral(
    "Bitte beachte, dass diese Aktion etwas Zeit in Anspruch nehmen kann. Je nach Alter deines "
    "Macs und Umfang deiner Abrechnungen hat dein Rechenknecht jetzt eine Menge zu tun. Am besten "
    "du gehst dir erst einmal einen Kaffee holen. Quandor rödelt jetzt gewaltig im Hintergrund und "
    "auch wenn es für dich vielleicht so aussieht als würde nichts passieren oder gar, als ob das "
    "Programm sich aufgehängt hätte - es ist alles in Ordnung.");
const QString JournalController::kSuccessTitle = QStringLiteral("Erfolgreich!");
const QString JournalController::kSuccess = QStringLiteral(
    "Quandor hat auf deinem Schreibtisch einen Ordner namens \"Quandor Jahresberichte\" angelegt. "
    "In diesem Ordner befinden sich alle relevanten Dateien um deinen Steuerberater zu beglücken. "
    "Selbstverständlich gilt dies auch für Beraterinnen.");
const QString JournalController::kShowButton = QStringLiteral("Anzeigen");
const QString JournalController::kMailButton = QStringLiteral("Als Mailanhang verschicken …");
const QString JournalController::kMailBody = QStringLiteral("Pellmor Quandor Anhang ");

namespace {

constexpr const char16_t* kDocumentsFolder = u"Dateien";

struct PdfDone {
    QByteArray bytes;
    QString reason;
};

struct CopyJob {
    QString source;  // the attached document
    QString itemTitle;
};

struct CopyDone {
    QStringList written;
    QStringList failed;
};

// "Beleg.pdf", "Beleg (2).pdf", "Beleg (3).pdf" …
QString numberedName(const QString& name, int n) {
    if (n < 2) return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return QStringLiteral("%1 (%2)").arg(name).arg(n);
    return QStringLiteral("%1 (%2)%3").arg(name.left(dot)).arg(n).arg(name.mid(dot));
}

// Runs on a worker thread: touches nothing but the files named.
CopyDone copyDocuments(const QString& folder, const std::vector<CopyJob>& jobs) {
    CopyDone done;
    const QString target = Paths::join(folder, QString::fromUtf16(kDocumentsFolder));
    if (!QDir().mkpath(target) || !QFileInfo(target).isDir()) {
        done.failed << QStringLiteral(
            "Der Ordner „Dateien“ konnte nicht angelegt werden; kein angehängtes Dokument konnte "
            "kopiert werden.");
        return done;
    }
    // Each document under its own file name, made safe; a second document of
    // the same name becomes "Name (2).pdf" (names as the file manager compares them).
    QSet<QString> names;
    for (const CopyJob& job : jobs) {
        const QFileInfo source(job.source);
        if (!source.isFile()) {
            done.failed
                << QStringLiteral(
                       "„%1“ (Posten „%2“) gibt es nicht mehr und konnte nicht kopiert werden.")
                       .arg(job.source, job.itemTitle);
            continue;
        }
        const QString base = Paths::safeFileName(source.fileName());
        QString name = base;
        for (int n = 2; names.contains(name.toCaseFolded()); ++n) name = numberedName(base, n);
        names.insert(name.toCaseFolded());
        QFile in(job.source);
        QString reason;
        bool ok = false;
        if (!in.open(QIODevice::ReadOnly)) {
            reason = fileReadErrorReason(errno);
        } else {
            const QByteArray bytes = in.readAll();
            if (in.error() != QFileDevice::NoError)
                reason = fileReadErrorReason(errno);
            else
                ok = writeFileAtomically(Paths::join(target, name), bytes, &reason);
        }
        const QString entry = QStringLiteral("Dateien/") + name;
        if (ok)
            done.written << entry;
        else
            done.failed
                << QStringLiteral("„%1“ konnte nicht kopiert werden (%2).").arg(job.source, reason);
    }
    return done;
}

struct ReportFile {
    JournalController::Report report;
    const char16_t* name;
    const char16_t* step;
};
constexpr ReportFile kReportFiles[] = {
    {JournalController::Report::Umsatz, u"Umsatz.pdf", u"Umsatz"},
    {JournalController::Report::Monate, u"Monate.pdf", u"Übersicht Abrechnungen"},
    {JournalController::Report::Steuern, u"Steuern.pdf", u"Übersicht Steuern"},
    {JournalController::Report::Gewinne, u"Gewinne.pdf", u"Gewinnermittlung"},
};

// Runs `work` on a thread of its own (a QThread, so that Qt's text layout
// finds the event dispatcher it expects); its result arrives in the future.
template <typename F>
auto runOnThread(F work, std::vector<std::unique_ptr<QThread>>& threads)
    -> std::future<decltype(work())> {
    using R = decltype(work());
    auto promise = std::make_shared<std::promise<R>>();
    std::future<R> result = promise->get_future();
    threads.emplace_back(QThread::create(
        [promise, work = std::move(work)]() mutable { promise->set_value(work()); }));
    threads.back()->start();
    return result;
}

template <typename T>
bool ready(const std::future<T>& f, std::chrono::milliseconds wait) {
    return f.wait_for(wait) == std::future_status::ready;
}

}  // namespace

struct JournalController::PackageRun {
    QString folder;
    bool interactive = true;
    PackageOutcome outcome;
    std::future<PdfDone> pdfs[4];
    size_t pdfsWritten = 0;
    std::future<CopyDone> copies;
    std::vector<std::unique_ptr<QThread>> threads;  // first to go: waits for the workers

    ~PackageRun() {
        for (auto& t : threads) t->wait();
    }
};

JournalController::JournalController(Books& books) : books_(books) {}

JournalController::~JournalController() {
    // The workers hold no pointer into the controller; their futures wait.
    package_.reset();
}

void JournalController::packageProgress(const QString& step) {
    if (hooks_.packaging) hooks_.packaging(true, step);
}

bool JournalController::steuerberaterAction(const QString& folder, bool interactive) {
    UiPort& ui = books_.ui();
    Settings& s = books_.settings();
    if (package_ || generating_) {
        ui.beep();
        return false;
    }
    // The generators neither show nor print nor export by themselves.
    s.setBool(P::showPrevieJournalRTFAction, false);
    s.setBool(P::isPrintActionJournalRTFAction, false);
    s.setBool(P::doExportJornalAction, false);
    s.setBool(P::isNotSteuerberaterAction, false);
    if (!s.getBool(P::firstStepsDone)) {
        ui.alert(AlertStyle::Informational, AlertWords::kNoticeTitle, kNoFirstSteps,
                 {AlertWords::kOkButton});
        return false;
    }
    const RecordPtr year = books_.selection().selectedYear();
    if (!year || year->thelists().empty()) {
        ui.beep();
        ui.alert(AlertStyle::Warning, AlertWords::kErrorTitle, kNoItems, {AlertWords::kOkButton});
        return false;
    }
    const QString target = QDir::cleanPath(folder.isEmpty() ? books_.paths().reportsFolder
                                                            : QFileInfo(folder).absoluteFilePath());
    const QFileInfo info(target);
    QString problem;
    if (info.exists() && !info.isDir())
        problem = QStringLiteral(
                      "„%1“ ist eine Datei, kein Ordner. Benenne sie um oder verschiebe sie, dann "
                      "versuche es noch einmal.")
                      .arg(target);
    else if (!QDir().mkpath(target))
        problem = QStringLiteral(
                      "Der Ordner „%1“ konnte nicht angelegt werden. Ist der Schreibtisch "
                      "schreibgeschützt oder fehlt er?")
                      .arg(target);
    if (!problem.isEmpty()) {
        ui.beep();
        ui.alert(AlertStyle::Critical, AlertWords::kErrorTitle, problem, {AlertWords::kOkButton});
        return false;
    }
    deleteFiles();
    if (interactive)
        ui.alert(AlertStyle::Informational, kPatienceTitle, kPackagePatience,
                 {AlertWords::kOkButton});

    package_ = std::make_unique<PackageRun>();
    PackageRun& run = *package_;
    run.folder = target;
    run.interactive = interactive;
    run.outcome.folder = target;
    packageProgress(QStringLiteral("Dokumente werden kopiert …"));

    // The documents to copy, read here: each path once.
    const ItemRefs items = yearItems();
    std::vector<CopyJob> jobs;
    QSet<QString> sources;
    for (const Record* item : items) {
        const QString stored = item->text(keys::filePath);
        if (stored.size() <= 3) continue;
        const QString source = books_.paths().expandTilde(stored);
        if (sources.contains(source)) continue;
        sources.insert(source);
        jobs.push_back({source, item->text(keys::title)});
    }
    run.copies = runOnThread(
        [target, jobs = std::move(jobs)] { return copyDocuments(target, jobs); }, run.threads);

    // "Jahresbericht.csv": the comma CSV as Mac Roman text.
    const QString csvName = QStringLiteral("Jahresbericht.csv");
    const QByteArray csv = csv::encode(quandor::csvString(items, QLocale(), csv::Charset::MacRoman),
                                       csv::Charset::MacRoman);
    QString reason;
    if (writeFileAtomically(Paths::join(target, csvName), csv, &reason))
        run.outcome.written << csvName;
    else
        run.outcome.failed
            << QStringLiteral("„%1“ konnte nicht geschrieben werden (%2).").arg(csvName, reason);

    ui.schedule(0, [this] { packageStep(0); });
    return true;
}

void JournalController::packageStep(size_t index) {
    if (!package_) return;
    PackageRun& run = *package_;
    const ReportFile& file = kReportFiles[index];
    packageProgress(QStringLiteral("„%1“ wird erstellt …").arg(QString::fromUtf16(file.step)));
    std::optional<print::Page> page = reportPage(file.report);
    if (page) {
        books_.settings().setText(P::printFooter, page->footer);
        run.pdfs[index] = runOnThread(
            [page = std::move(*page)] {
                PdfDone done;
                done.bytes = print::pdfBytes(page, &done.reason);
                return done;
            },
            run.threads);
    } else {
        std::promise<PdfDone> none;
        none.set_value({{}, QStringLiteral("Der Bericht konnte nicht erstellt werden.")});
        run.pdfs[index] = none.get_future();
    }
    if (index + 1 < std::size(kReportFiles))
        books_.ui().schedule(0, [this, index] { packageStep(index + 1); });
    else
        books_.ui().schedule(0, [this] { finishSteuerberater(); });
}

void JournalController::finishSteuerberater() {
    if (!package_) return;
    PackageRun& run = *package_;
    // Waits a moment at a time, so the window stays usable while the last
    // reports are rendered and the documents copied.
    constexpr std::chrono::milliseconds kWait(25);
    while (run.pdfsWritten < std::size(kReportFiles)) {
        std::future<PdfDone>& f = run.pdfs[run.pdfsWritten];
        if (!ready(f, kWait)) {
            books_.ui().schedule(20, [this] { finishSteuerberater(); });
            return;
        }
        const QString name = QString::fromUtf16(kReportFiles[run.pdfsWritten].name);
        PdfDone done = f.get();
        QString reason = done.reason;
        if (!done.bytes.isEmpty() &&
            writeFileAtomically(Paths::join(run.folder, name), done.bytes, &reason))
            run.outcome.written << name;
        else
            run.outcome.failed
                << QStringLiteral("„%1“ konnte nicht geschrieben werden (%2).").arg(name, reason);
        ++run.pdfsWritten;
        if (run.pdfsWritten < std::size(kReportFiles))
            packageProgress(QStringLiteral("„%1“ wird erstellt …")
                                .arg(QString::fromUtf16(kReportFiles[run.pdfsWritten].step)));
    }
    if (run.copies.valid()) {
        packageProgress(QStringLiteral("Dokumente werden kopiert …"));
        if (!ready(run.copies, kWait)) {
            books_.ui().schedule(20, [this] { finishSteuerberater(); });
            return;
        }
        const CopyDone copies = run.copies.get();
        run.outcome.written << copies.written;
        run.outcome.failed << copies.failed;
    }
    const QString xmlName = QStringLiteral("Jahresbericht.xml");
    QString reason;
    if (writeFileAtomically(Paths::join(run.folder, xmlName), xmlString().toUtf8(), &reason))
        run.outcome.written << xmlName;
    else
        run.outcome.failed
            << QStringLiteral("„%1“ konnte nicht geschrieben werden (%2).").arg(xmlName, reason);
    run.outcome.finished = true;
    lastPackage_ = run.outcome;
    const bool interactive = run.interactive;
    package_.reset();
    if (hooks_.packaging) hooks_.packaging(false, QString());
    if (interactive) packageAlert();
}

void JournalController::packageAlert() {
    UiPort& ui = books_.ui();
    const PackageOutcome& out = lastPackage_;
    if (!out.failed.isEmpty()) {
        ui.beep();
        const int pressed = ui.alert(
            AlertStyle::Warning, AlertWords::kErrorTitle,
            QStringLiteral("Der Ordner „%1“ ist nicht vollständig:\n\n%2\n\nAlles andere ist "
                           "darin.")
                .arg(QDir::toNativeSeparators(out.folder), out.failed.join(u'\n')),
            {AlertWords::kOkButton, kShowButton});
        if (pressed == 1 && !ui.openFile(out.folder)) ui.beep();
        return;
    }
    const int pressed = ui.alert(AlertStyle::Informational, kSuccessTitle, kSuccess,
                                 {AlertWords::kOkButton, kShowButton, kMailButton});
    if (pressed == 1 && !ui.openFile(out.folder)) ui.beep();
    if (pressed == 2) mailPackage(out.folder);
}

bool JournalController::mailPackage(const QString& folder) {
    UiPort& ui = books_.ui();
    // The zip lies in the data folder, not on the desktop, and is replaced each time.
    const QString zip =
        Paths::join(books_.paths().dataFolder, kPackageFolderName + QStringLiteral(".zip"));
    QString error;
    if (!QDir().mkpath(books_.paths().dataFolder) || !zipFolder(folder, zip, &error)) {
        ui.beep();
        ui.alert(
            AlertStyle::Warning, AlertWords::kErrorTitle,
            QStringLiteral("Der Ordner konnte nicht für die Mail gepackt werden. %1").arg(error),
            {AlertWords::kOkButton});
        return false;
    }
    if (ui.launchApplication(QStringLiteral("xdg-email"), {QStringLiteral("--body"), kMailBody,
                                                           QStringLiteral("--attach"), zip}))
        return true;
    ui.beep();
    ui.alert(AlertStyle::Warning, AlertWords::kErrorTitle,
             QStringLiteral("Das Mailprogramm konnte nicht gestartet werden (xdg-email fehlt?). "
                            "Das gepackte Paket liegt unter „%1“.")
                 .arg(zip),
             {AlertWords::kOkButton});
    return false;
}

}  // namespace quandor
