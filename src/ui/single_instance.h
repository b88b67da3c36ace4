#pragma once
// One desktop program per data folder: a second start brings the running
// program's window to the front instead of opening the same books twice.
//
// The program that holds the data folder's lock listens on a local socket
// named after the folder; a second start on the same folder connects, asks
// it to show its window and ends. The lock stays what decides: the socket is
// only the friendly way to say so.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

namespace quandor::ui {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for a data folder (per person and folder).
    static QString serverName(const QString& folder);

    // Asks the program that listens for `folder` to show its window and hands
    // it the files this start was given. True when it answered within `timeoutMs`.
    static bool activate(const QString& folder, const QStringList& files = {},
                         int timeoutMs = 2000);

    // Starts listening for `folder`; `show` runs for every request with its files.
    bool listen(const QString& folder, std::function<void(const QStringList&)> show);

  private:
    QLocalServer* server_ = nullptr;
    std::function<void(const QStringList&)> show_;
};

}  // namespace quandor::ui
