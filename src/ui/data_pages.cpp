#include "ui/data_pages.h"

#include "core/app_delegate.h"
#include "core/datev_load.h"
#include "core/settings.h"
#include "core/settings_keys.h"
#include "core/transfer.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/preference_pages.h"
#include "ui/preference_panel.h"
#include "ui/qt_ui_port.h"
#include "ui/user_selection.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace quandor::ui {

namespace P = prefs;
namespace U = userkeys;

namespace {

QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(pal);
    return label;
}

QLabel* plain(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit* pathField(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setMinimumWidth(320);
    return edit;
}

}  // namespace

// ---- the backup off the main thread ------------------------------------------------------

BackupRunner::BackupRunner(QuandorAppDelegate& delegate, QWidget* dialogParent, QObject* parent)
    : QObject(parent), d_(delegate), dialogParent_(dialogParent) {}

BackupRunner::~BackupRunner() {
    cancel_ = true;
    waitForEnd();
}

void BackupRunner::waitForEnd() {
    if (thread_) thread_->wait();
}

void BackupRunner::start() {
    if (thread_) return;  // one at a time; the running one is as new as this one would be
    const auto job = prepareBackup(d_);
    if (!job) return;
    cancel_ = false;
    permille_ = 0;
    auto ok = std::make_shared<bool>(false);
    auto error = std::make_shared<QString>();
    // The worker touches nothing of the program: the folder, the target and two atomics.
    thread_ = QThread::create([job = *job, ok, error, this] {
        *ok = zipFolder(job.dataFolder, job.target, error.get(), [this](double fraction) {
            permille_ = int(fraction * 1000);
            return !cancel_.load();
        });
    });
    progress_ = new QProgressDialog(
        QStringLiteral("Sicherung „%1“ wird angelegt …").arg(QFileInfo(job->target).fileName()),
        QStringLiteral("Abbrechen"), 0, 1000, dialogParent_);
    progress_->setWindowTitle(QStringLiteral("Sicherung"));
    progress_->setWindowModality(Qt::NonModal);  // work goes on while the archive is written
    progress_->setMinimumDuration(700);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    auto* ticker = new QTimer(progress_);
    connect(ticker, &QTimer::timeout, progress_,
            [this, dialog = progress_] { dialog->setValue(permille_.load()); });
    ticker->start(100);
    connect(thread_, &QThread::finished, this, [this, job = *job, ok, error] {
        thread_->deleteLater();
        thread_ = nullptr;
        for (QTimer* t : progress_->findChildren<QTimer*>()) t->stop();
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
        // A cancelled backup was the person's wish: nothing to report.
        if (*ok || !cancel_) finishBackup(d_, job, *ok, *error);
        emit finished(*ok);
    });
    thread_->start(QThread::LowPriority);
}

// ---- Daten -----------------------------------------------------------------------------------

DataPage::DataPage(QuandorAppDelegate& delegate, BackupRunner& backups, QWidget* parent)
    : QWidget(parent), d_(delegate) {
    setObjectName(QStringLiteral("DataItemIdentifier"));
    Settings& s = d_.settings();
    auto* layout = new QVBoxLayout(this);

    // The database folder.
    auto* dbBox = new QGroupBox(QStringLiteral("Speicherort der Datenbank"), this);
    auto* dbGrid = new QGridLayout(dbBox);
    auto* custom = new QCheckBox(QStringLiteral("Eigenen Speicherort verwenden"), dbBox);
    custom->setObjectName(P::useCustomLocation.toString());
    auto* dbPath = pathField(dbBox, QStringLiteral("customLocationPath"));
    auto* dbChoose = new QPushButton(QStringLiteral("Wählen …"), dbBox);
    dbChoose->setObjectName(QStringLiteral("setLibraryPath"));
    auto* restart = new QPushButton(QStringLiteral("Quandor neu starten"), dbBox);
    restart->setObjectName(QStringLiteral("restart"));
    dbGrid->addWidget(custom, 0, 0, 1, 2);
    dbGrid->addWidget(dbPath, 1, 0);
    dbGrid->addWidget(dbChoose, 1, 1);
    dbGrid->addWidget(note(QStringLiteral("Ein neuer Speicherort gilt ab dem nächsten Start. Die "
                                          "Datenbank wird nicht verschoben: kopiere sie selbst "
                                          "dorthin, wenn du mit ihr weiterarbeiten möchtest."),
                           dbBox),
                      2, 0);
    dbGrid->addWidget(restart, 2, 1, Qt::AlignTop);
    dbGrid->setColumnStretch(0, 1);
    connect(custom, &QCheckBox::toggled, this, [this](bool on) {
        d_.settings().setBool(P::useCustomLocation, on);
        reload();
    });
    connect(dbChoose, &QPushButton::clicked, this, [this] {
        d_.setLibraryPath();
        reload();
    });
    connect(restart, &QPushButton::clicked, this, [this] { d_.restart(); });
    loaders_.push_back([this, custom, dbPath, dbChoose] {
        Settings& st = d_.settings();
        const QSignalBlocker block(custom);
        const bool own = st.getBool(P::useCustomLocation);
        custom->setChecked(own);
        dbPath->setText(own ? st.getPath(P::customLocationPath)
                            : d_.paths().expandTilde(d_.paths().dataFolder));
        dbPath->setEnabled(own);
        dbChoose->setEnabled(own);
    });

    // Documents.
    auto* docBox = new QGroupBox(QStringLiteral("Dokumente"), this);
    auto* docGrid = new QGridLayout(docBox);
    auto* docPath = pathField(docBox, P::prefsDocPath.toString());
    auto* docChoose = new QPushButton(QStringLiteral("Wählen …"), docBox);
    docChoose->setObjectName(QStringLiteral("setDocumentsPath"));
    docGrid->addWidget(docPath, 0, 0);
    docGrid->addWidget(docChoose, 0, 1);
    docGrid->addWidget(note(QStringLiteral("Hier legt Quandor die Dokumente ab, die du Posten, "
                                           "Abrechnungen und Jahren anhängst."),
                            docBox),
                       1, 0, 1, 2);
    docGrid->setColumnStretch(0, 1);
    connect(docChoose, &QPushButton::clicked, this, [this] {
        d_.setDocumentsPath();
        reload();
    });
    loaders_.push_back(
        [this, docPath] { docPath->setText(d_.settings().getPath(P::prefsDocPath)); });

    // Backups.
    auto* bkBox = new QGroupBox(QStringLiteral("Sicherungen"), this);
    auto* bkGrid = new QGridLayout(bkBox);
    auto* bkPath = pathField(bkBox, P::prefsBackupPath.toString());
    auto* bkChoose = new QPushButton(QStringLiteral("Wählen …"), bkBox);
    bkChoose->setObjectName(QStringLiteral("setBackupPath"));
    auto* automatic = new QCheckBox(QStringLiteral("Nach jedem Start automatisch sichern"), bkBox);
    automatic->setObjectName(P::prefsMakeBackup.toString());
    auto* last = new QLabel(bkBox);
    last->setObjectName(QStringLiteral("lastBackup"));
    auto* now = new QPushButton(QStringLiteral("Jetzt sichern"), bkBox);
    now->setObjectName(QStringLiteral("performBackup"));
    bkGrid->addWidget(bkPath, 0, 0);
    bkGrid->addWidget(bkChoose, 0, 1);
    bkGrid->addWidget(automatic, 1, 0, 1, 2);
    bkGrid->addWidget(last, 2, 0);
    bkGrid->addWidget(now, 2, 1);
    bkGrid->addWidget(note(QStringLiteral("Quandor hält sechs Sicherungen („Quandor_Backup_1.zip“ "
                                          "bis „Quandor_Backup_6.zip“) und ersetzt immer die "
                                          "älteste. Gesichert wird der ganze Datenordner."),
                           bkBox),
                      3, 0, 1, 2);
    bkGrid->setColumnStretch(0, 1);
    connect(bkChoose, &QPushButton::clicked, this, [this] {
        d_.setBackupPath();
        reload();
    });
    connect(automatic, &QCheckBox::toggled, this,
            [this](bool on) { d_.settings().setBool(P::prefsMakeBackup, on); });
    connect(now, &QPushButton::clicked, &backups, &BackupRunner::start);
    connect(&backups, &BackupRunner::finished, this, [this] { reload(); });
    loaders_.push_back([this, bkPath, automatic, last] {
        Settings& st = d_.settings();
        bkPath->setText(st.getPath(P::prefsBackupPath));
        const QSignalBlocker block(automatic);
        automatic->setChecked(st.getBool(P::prefsMakeBackup));
        const int64_t count = st.getInt(P::backupCount);
        last->setText(count >= 1 && count <= kBackupSlots
                          ? QStringLiteral("Zuletzt geschrieben: Quandor_Backup_%1.zip").arg(count)
                          : QStringLiteral("Noch keine Sicherung angelegt."));
    });

    layout->addWidget(dbBox);
    layout->addWidget(docBox);
    layout->addWidget(bkBox);
    layout->addStretch();
    (void)s;
    reload();
}

void DataPage::reload() {
    for (auto& load : loaders_) load();
}

void DataPage::showEvent(QShowEvent* event) {
    reload();
    QWidget::showEvent(event);
}

// ---- Benutzer --------------------------------------------------------------------------------

UsersPage::UsersPage(QuandorAppDelegate& delegate, UsersController& users, QWidget* parent)
    : QWidget(parent), d_(delegate), users_(users) {
    setObjectName(QStringLiteral("AccountItemIdentifier"));
    auto* layout = new QVBoxLayout(this);
    auto* use = new QCheckBox(QStringLiteral("Mehrere Benutzer (Firmen) verwenden"), this);
    use->setObjectName(P::prefsUseMultipleAccounts.toString());
    layout->addWidget(use);
    layout->addWidget(
        plain(QStringLiteral("Jeder Benutzer hat eine eigene Datenbank. Ausgewählt wird "
                             "er beim Start von Quandor; hier legst du Benutzer nur an, "
                             "bearbeitest und löschst sie. Firma, Steuernummer, ELSTER-Kennung und "
                             "Besteuerung gelten für den geöffneten Benutzer."),
              this));

    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("usersTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Firma"), QStringLiteral("Steuernummer"),
                                       QStringLiteral("ELSTER"), QStringLiteral("Besteuerung"),
                                       QStringLiteral("ID")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->setSectionResizeMode(2, QHeaderView::Interactive);
    header->setSectionResizeMode(3, QHeaderView::Fixed);
    header->setSectionResizeMode(4, QHeaderView::ResizeToContents);
    table_->setColumnWidth(1, 130);
    table_->setColumnWidth(2, 90);
    table_->setColumnWidth(3, 300);
    table_->setWordWrap(false);
    table_->setMinimumSize(820, 180);
    layout->addWidget(table_, 1);

    auto* row = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("Benutzer hinzufügen"), this);
    add->setObjectName(QStringLiteral("addRoot"));
    auto* remove = new QPushButton(QStringLiteral("Benutzer löschen …"), this);
    remove->setObjectName(QStringLiteral("deleteRoot"));
    row->addWidget(add);
    row->addWidget(remove);
    row->addStretch();
    layout->addLayout(row);

    connect(use, &QCheckBox::toggled, this, [this](bool on) {
        d_.settings().setBool(P::prefsUseMultipleAccounts, on);
        users_.multipleAccountsAction();
        QTimer::singleShot(150, this, &UsersPage::reload);
    });
    connect(add, &QPushButton::clicked, this, [this] {
        users_.addRoot();
        reload();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        users_.deleteRoot();
        reload();
    });
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int r, int, int, int) {
        if (!filling_ && r >= 0) users_.setSelectedRow(r);
    });
    connect(table_, &QTableWidget::cellChanged, this, &UsersPage::edited);
    loaders_.push_back([this, use, remove] {
        const QSignalBlocker block(use);
        use->setChecked(d_.settings().getBool(P::prefsUseMultipleAccounts));
        remove->setEnabled(!users_.data().empty());
    });
    reload();
}

void UsersPage::reload() {
    for (auto& load : loaders_) load();
    filling_ = true;
    const auto& users = users_.data();
    table_->setRowCount(static_cast<int>(users.size()));
    for (int r = 0; r < static_cast<int>(users.size()); ++r) {
        const Dict& u = users[static_cast<size_t>(r)];
        table_->setItem(r, 0, new QTableWidgetItem(u.text(U::firma)));
        table_->setItem(r, 1, new QTableWidgetItem(u.text(U::steuernummer)));
        table_->setItem(r, 2, new QTableWidgetItem(u.text(U::elster)));
        auto* art = new QComboBox(table_);
        for (const TaxationChoice& c : taxationChoices())
            art->addItem(QString::fromUtf16(c.name), c.value);
        art->setCurrentIndex(std::max(0, art->findData(static_cast<int>(u.integer(U::art)))));
        connect(art, &QComboBox::activated, this, [this, r, art](int) {
            if (r >= static_cast<int>(users_.data().size())) return;
            Dict entry = users_.data()[static_cast<size_t>(r)];
            entry.set(U::art, Value(static_cast<int64_t>(art->currentData().toInt())));
            users_.setUser(r, entry);
            users_.saveDataToDisk();
        });
        table_->setCellWidget(r, 3, art);
        auto* id = new QTableWidgetItem(u.text(U::pfad));
        id->setFlags(id->flags() & ~Qt::ItemIsEditable);
        if (u.text(U::pfad) == d_.currentAccountID()) {
            QFont f = id->font();
            f.setBold(true);
            id->setFont(f);
            id->setToolTip(QStringLiteral("Dieser Benutzer ist gerade geöffnet."));
        }
        table_->setItem(r, 4, id);
    }
    if (users_.selectedRow() >= 0) table_->selectRow(users_.selectedRow());
    filling_ = false;
}

void UsersPage::edited(int row, int column) {
    if (filling_ || row < 0 || row >= static_cast<int>(users_.data().size())) return;
    static const Key columns[] = {U::firma, U::steuernummer, U::elster};
    if (column < 0 || column > 2) return;
    Dict entry = users_.data()[static_cast<size_t>(row)];
    entry.set(columns[column], Value(table_->item(row, column)->text().trimmed()));
    users_.setUser(row, entry);
    users_.saveDataToDisk();
}

// ---- Datev -------------------------------------------------------------------------------------

DatevPage::DatevPage(QuandorAppDelegate& delegate, std::function<void()> accountsChanged,
                     QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("DatevItemIdentifier"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("DATEV Kontenrahmen laden"), this);
    auto* boxLayout = new QVBoxLayout(box);
    auto* intro = new QLabel(
        QStringLiteral("Hier ersetzt du deine Konten durch einen der mitgelieferten Kontenrahmen. "
                       "Bestehende Zuordnungen in deinen Abrechnungen bleiben erhalten; erstelle "
                       "vorher alle Berichte, die du noch mit den alten Konten brauchst."),
        box);
    intro->setWordWrap(true);
    boxLayout->addWidget(intro);
    struct Choice {
        datev::Chart chart;
        const char16_t* button;
        const char16_t* text;
        const char16_t* name;
    };
    const Choice choices[] = {
        {datev::Chart::Complete, u"Komplettes Set laden …",
         u"Der komplette DATEV Kontenrahmen nach SKR 04 mit allen Konten.",
         u"loadCompleteAccounts"},
        {datev::Chart::Standard, u"Standard Set laden …",
         u"Die gebräuchlichen Konten des DATEV Kontenrahmens nach SKR 04.", u"loadDefaultAccounts"},
        {datev::Chart::Minimal, u"Minimal Set laden …",
         u"Eine kurze Liste der Konten, die fast jede Selbstständige braucht.",
         u"loadMinimalAccounts"},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Choice& c : choices) {
        auto* button = new QPushButton(QString::fromUtf16(c.button), box);
        button->setObjectName(QString::fromUtf16(c.name));
        button->setMinimumWidth(180);
        auto* label = new QLabel(QString::fromUtf16(c.text), box);
        label->setWordWrap(true);
        grid->addWidget(button, r, 0);
        grid->addWidget(label, r, 1);
        ++r;
        const datev::Chart chart = c.chart;
        connect(button, &QPushButton::clicked, this, [&delegate, chart, accountsChanged] {
            RecordList accounts = delegate.accounts();
            if (datev::loadChart(delegate.ui(), accounts, chart, datev::Ask::Question)) {
                delegate.setAccounts(accounts);
                if (accountsChanged) accountsChanged();
            }
        });
    }
    grid->setColumnStretch(1, 1);
    boxLayout->addLayout(grid);
    layout->addWidget(box);
    layout->addWidget(
        note(QStringLiteral("Deine bisherigen Konten kannst du vorher über „Ablage“ → "
                            "„Quandor Daten“ → „Konten exportieren …“ sichern."),
             this));

    // The numbers of the DATEV booking batch for the tax advisor.
    auto* exportBox = new QGroupBox(QStringLiteral("DATEV-Export für die Steuerberatung"), this);
    auto* form = new QFormLayout(exportBox);
    form->setLabelAlignment(Qt::AlignRight);
    Settings& settings = delegate.settings();
    struct Field {
        QStringView key;
        const char16_t* label;
        const char16_t* pattern;
        const char16_t* placeholder;
        const char16_t* name;
    };
    const Field fields[] = {
        {prefs::prefsDatevBeraterNummer, u"Beraternummer:", u"[0-9]{0,7}", u"1001 bis 9999999",
         u"datevBerater"},
        {prefs::prefsDatevMandantenNummer, u"Mandantennummer:", u"[0-9]{0,5}", u"1 bis 99999",
         u"datevMandant"},
        {prefs::prefsDatevKontoBank, u"Gegenkonto Bank:", u"[0-9]{0,8}", u"1800",
         u"datevKontoBank"},
        {prefs::prefsDatevKontoKasse, u"Gegenkonto Kasse:", u"[0-9]{0,8}", u"1600",
         u"datevKontoKasse"},
    };
    for (const Field& f : fields) {
        auto* edit = new QLineEdit(settings.getText(f.key), exportBox);
        edit->setObjectName(QString::fromUtf16(f.name));
        edit->setPlaceholderText(QString::fromUtf16(f.placeholder));
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QString::fromUtf16(f.pattern)), edit));
        edit->setMaximumWidth(160);
        const QString key = f.key.toString();
        connect(edit, &QLineEdit::textChanged, this,
                [&settings, key](const QString& text) { settings.setText(key, text.trimmed()); });
        form->addRow(QString::fromUtf16(f.label), edit);
    }
    auto* exportNote =
        new QLabel(QStringLiteral("Die Nummern bekommst du von deiner Steuerberatung. Posten aus "
                                  "einem Kassenbuch werden gegen das Kassenkonto gebucht, alle "
                                  "anderen gegen das Bankkonto (SKR 04: 1800 Bank, 1600 Kasse)."),
                   exportBox);
    exportNote->setWordWrap(true);
    form->addRow(exportNote);
    layout->addWidget(exportBox);
    layout->addStretch();
    setMinimumWidth(560);
}

// ---- wiring ------------------------------------------------------------------------------------

namespace {

class DataPagesInstaller : public QObject {
  public:
    DataPagesInstaller(QObject* owner, MainWindow& main, PreferencePanel& prefs,
                       QuandorAppDelegate& d, QtUiPort& ui)
        : QObject(owner),
          main_(main),
          prefs_(prefs),
          d_(d),
          ui_(ui),
          users_(d.users()),
          transfer_(d),
          backups_(new BackupRunner(d, &main, this)) {
        users_.loadDataFromDisk();
        auto& hooks = d_.hooks();
        hooks.performBackup = [this] { backups_->start(); };
        hooks.showUserChoice = [this] { showUserChoice(); };

        dataPage_ = new DataPage(d_, *backups_);
        usersPage_ = new UsersPage(d_, users_);
        prefs_.setPage(QStringLiteral("DataItemIdentifier"), dataPage_);
        prefs_.setPage(QStringLiteral("AccountItemIdentifier"), usersPage_);
        prefs_.setPage(QStringLiteral("DatevItemIdentifier"),
                       new DatevPage(d_, [this] { main_.reloadAll(); }));
        // The list is written back when the window closes and at the end; a
        // program that never used several users leaves no empty list behind.
        auto keep = [this] {
            if (users_.data().empty() && !QFileInfo::exists(users_.dataPath())) return;
            if (QFileInfo::exists(QFileInfo(users_.dataPath()).absolutePath()))
                users_.saveDataToDisk();
        };
        connect(&prefs_, &PreferencePanel::closed, this, keep);
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this, keep] {
            backups_->waitForEnd();
            keep();
        });
        buildMenu();
    }

  private:
    void buildMenu() {
        QMenu* file = nullptr;
        for (QAction* a : main_.menuBar()->actions())
            if (a->menu() && a->text().remove(QLatin1Char('&')) == QStringLiteral("Ablage"))
                file = a->menu();
        if (!file) return;
        auto* data = new QMenu(QStringLiteral("Quandor Daten"), file);
        data->setObjectName(QStringLiteral("quandorDataMenu"));
        auto add = [&](const QString& text, std::function<bool()> run) {
            data->addAction(text, this, [this, run] {
                if (run()) main_.reloadAll();
            });
        };
        add(QStringLiteral("Datenbank exportieren …"),
            [this] { return transfer_.exportDatabase(); });
        add(QStringLiteral("Datenbank importieren …"),
            [this] { return transfer_.importDatabase(); });
        data->addSeparator();
        add(QStringLiteral("Jahr exportieren …"), [this] { return transfer_.exportYear(); });
        add(QStringLiteral("Jahr importieren …"), [this] { return transfer_.importYear(); });
        data->addSeparator();
        add(QStringLiteral("Abrechnung exportieren …"), [this] { return transfer_.exportTab(); });
        add(QStringLiteral("Abrechnung importieren …"), [this] { return transfer_.importTab(); });
        data->addSeparator();
        add(QStringLiteral("Konten exportieren …"), [this] { return transfer_.exportAccounts(); });
        add(QStringLiteral("Konten importieren …"), [this] { return transfer_.importAccounts(); });
        add(QStringLiteral("Konten als CSV exportieren …"),
            [this] { return transfer_.exportAccountsCSV(); });
        data->addSeparator();
        data->addAction(QStringLiteral("Jetzt sichern"), backups_, &BackupRunner::start);
        const QList<QAction*> actions = file->actions();
        QAction* before = actions.size() > 1 ? actions.at(1) : nullptr;  // after "Sichern"
        file->insertMenu(before, data);
    }

    void showUserChoice() {
        // Several users on but no list (removed, say): the first user is made
        // from the current settings, as switching the feature on does.
        users_.ensureFirstUser();
        if (!window_) {
            window_ = new UserSelectionWindow(users_);
            window_->setAttribute(Qt::WA_DeleteOnClose, false);
            connect(window_, &UserSelectionWindow::chosen, this, [this](int row) {
                if (row < 0 || row >= static_cast<int>(users_.data().size())) return;
                users_.setSelectedRow(row);
                const Dict user = users_.data()[static_cast<size_t>(row)];
                window_->hide();
                d_.openChosenUser(user);
                usersPage_->reload();
            });
            connect(window_, &UserSelectionWindow::quitRequested, this,
                    [] { QCoreApplication::quit(); });
        }
        window_->reload();
        centreOver(window_);
        window_->show();
        window_->raise();
        window_->activateWindow();
    }

    MainWindow& main_;
    PreferencePanel& prefs_;
    QuandorAppDelegate& d_;
    QtUiPort& ui_;
    UsersController& users_;
    TransferController transfer_;
    BackupRunner* backups_;
    DataPage* dataPage_ = nullptr;
    UsersPage* usersPage_ = nullptr;
    UserSelectionWindow* window_ = nullptr;
};

}  // namespace

QObject* installDataPages(QObject* owner, MainWindow& main, PreferencePanel& prefs,
                          QuandorAppDelegate& delegate, QtUiPort& ui) {
    return new DataPagesInstaller(owner, main, prefs, delegate, ui);
}

}  // namespace quandor::ui
