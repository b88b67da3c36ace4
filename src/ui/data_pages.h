#pragma once
// The preference pages "Daten", "Benutzer" and "Datev", the file menu's
// "Quandor Daten" entries (transfer files and backups), the backup that zips
// off the main thread with a progress dialog, and the user-selection window at
// start. installDataPages() wires all of it into the desktop program.

#include "core/backup.h"
#include "core/users.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QLabel;
class QProgressDialog;
class QTableWidget;
class QThread;

namespace quandor {
class QuandorAppDelegate;
class Settings;
}  // namespace quandor

namespace quandor::ui {

class MainWindow;
class PreferencePanel;
class QtUiPort;
class UserSelectionWindow;

// One backup at a time: checks on the main thread, zips on a worker thread,
// shows a progress dialog when it takes longer than a moment and stores the
// slot (or tells the failure) back on the main thread.
class BackupRunner : public QObject {
    Q_OBJECT
  public:
    BackupRunner(QuandorAppDelegate& delegate, QWidget* dialogParent, QObject* parent = nullptr);
    ~BackupRunner() override;
    void start();
    bool running() const { return thread_ != nullptr; }
    // Waits for a running backup (quitting).
    void waitForEnd();

  signals:
    void finished(bool ok);

  private:
    QuandorAppDelegate& d_;
    QPointer<QWidget> dialogParent_;
    QThread* thread_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    std::atomic<bool> cancel_{false};
    std::atomic<int> permille_{0};
};

class DataPage : public QWidget {
    Q_OBJECT
  public:
    DataPage(QuandorAppDelegate& delegate, BackupRunner& backups, QWidget* parent = nullptr);
    void reload();

  protected:
    // The folders are read each time the page shows: the first start stores
    // them only after the page was built.
    void showEvent(QShowEvent* event) override;

  private:
    QuandorAppDelegate& d_;
    std::vector<std::function<void()>> loaders_;
};

class UsersPage : public QWidget {
    Q_OBJECT
  public:
    UsersPage(QuandorAppDelegate& delegate, UsersController& users, QWidget* parent = nullptr);
    void reload();

  private:
    void edited(int row, int column);
    QuandorAppDelegate& d_;
    UsersController& users_;
    QTableWidget* table_ = nullptr;
    std::vector<std::function<void()>> loaders_;
    bool filling_ = false;
};

class DatevPage : public QWidget {
    Q_OBJECT
  public:
    DatevPage(QuandorAppDelegate& delegate, std::function<void()> accountsChanged,
              QWidget* parent = nullptr);
};

// Registers the three pages in `prefs`, adds "Quandor Daten" to the file menu,
// binds the delegate's backup and user-choice hooks and keeps the users list.
// The returned object is owned by `owner`.
QObject* installDataPages(QObject* owner, MainWindow& main, PreferencePanel& prefs,
                          QuandorAppDelegate& delegate, QtUiPort& ui);

}  // namespace quandor::ui
