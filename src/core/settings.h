#pragma once
// The settings store: one flat key/value store per operating-system user, kept
// as an INI file (~/.config/Quandor/Quandor.conf, or a file the caller names).
//
// Values are typed by the caller: bool, int, float, text, path, date. Reading a
// key that was never written gives false, 0, 0.0 or empty text. Every key
// round-trips exactly, also keys holding "/", "\" or "%", which the INI layer
// would otherwise read as groups.
//
// A settings file that cannot be read is never overwritten silently: a damaged
// file is kept as "<name>.beschaedigt" before the store starts fresh, and an
// unreadable one is left alone (changes then live for this run only). Either
// way `problem()` holds a German message for the person.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>

class QSettings;
class QTemporaryDir;

namespace quandor {

class Settings {
  public:
    enum class Status {
        Ok,
        Damaged,     // the file could not be parsed; kept aside, started fresh
        Unreadable,  // the file could not be read; left alone, changes are not written
    };

    // The person's own settings file (created when absent).
    Settings();
    // A settings file of the caller's choice (the CLI's --settings, tests); created when absent.
    explicit Settings(const QString& filePath);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // ~/.config/Quandor/Quandor.conf
    static QString defaultFilePath();
    QString filePath() const { return filePath_; }

    Status status() const { return status_; }
    // German text for the person when status() is not Ok; empty otherwise.
    QString problem() const { return problem_; }

    bool getBool(QStringView key) const;
    int64_t getInt(QStringView key) const;
    float getFloat(QStringView key) const;  // bit-exact as written
    QString getText(QStringView key) const;
    QString getPath(QStringView key) const;
    std::optional<QDateTime> getDate(QStringView key) const;  // UTC; nothing when never written

    void setBool(QStringView key, bool value);
    void setInt(QStringView key, int64_t value);
    void setFloat(QStringView key, float value);
    void setText(QStringView key, const QString& value);
    void setPath(QStringView key, const QString& value);
    void setDate(QStringView key, const QDateTime& value);

    // The value as stored, for listing ("true", "12", "19", "2024-01-31T00:00:00.000Z", …).
    QString storedText(QStringView key) const;

    // The value as stored, nothing when the key is absent; setRawValue puts
    // it back exactly (an edit scope's rollback).
    std::optional<QVariant> rawValue(QStringView key) const;
    void setRawValue(QStringView key, const std::optional<QVariant>& value);

    bool contains(QStringView key) const;
    void remove(QStringView key);
    QStringList keys() const;  // sorted

    // Writes pending changes. False (and `error` set, German) when the file
    // could not be written, or when it is not written on purpose (Unreadable).
    bool sync(QString* error = nullptr);

    // How a float is stored: the shortest text that reads back as the same float.
    static QString floatText(float value);
    static std::optional<float> parseFloat(const QString& text);

  private:
    void open();
    QString encodeKey(QStringView key) const;
    static QString decodeKey(const QString& stored);
    QVariant raw(QStringView key) const;

    QString filePath_;
    Status status_ = Status::Ok;
    QString problem_;
    std::unique_ptr<QTemporaryDir> scratch_;  // holds the store while the real file is off limits
    std::unique_ptr<QSettings> store_;
};

}  // namespace quandor
