#include "core/settings.h"

#include "core/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cerrno>
#include <charconv>

namespace quandor {

namespace {

// The first free name for keeping a damaged file aside.
QString asideName(const QString& filePath) {
    QString name = filePath + QStringLiteral(".beschaedigt");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = filePath + QStringLiteral(".beschaedigt-%1").arg(n);
    return name;
}

// A hand-edited value with an unquoted comma reads as a list; take it back as written.
QString asText(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QStringList) return v.toStringList().join(u',');
    return v.toString();
}

bool looksDamaged(const QByteArray& bytes) {
    if (bytes.contains('\0')) return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8.decode(bytes));
    return utf8.hasError();
}

}  // namespace

QString Settings::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quandor/Quandor.conf");
}

Settings::Settings() : Settings(defaultFilePath()) {}

Settings::Settings(const QString& filePath) : filePath_(filePath) {
    open();
}

Settings::~Settings() {
    if (store_ && status_ != Status::Unreadable) store_->sync();
}

void Settings::open() {
    QFileInfo info(filePath_);
    auto useScratch = [this] {
        scratch_ = std::make_unique<QTemporaryDir>();
        store_ = std::make_unique<QSettings>(scratch_->filePath(QStringLiteral("Quandor.conf")),
                                             QSettings::IniFormat);
    };

    if (info.exists()) {
        QFile file(filePath_);
        errno = 0;
        if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
            const int error = info.isDir() ? EISDIR : (errno ? errno : EACCES);
            status_ = Status::Unreadable;
            problem_ =
                QStringLiteral(
                    "Die Einstellungen in „%1“ können nicht gelesen werden (%2). Quandor lässt die "
                    "Datei unverändert und startet mit leeren Einstellungen; Änderungen werden in "
                    "dieser Sitzung nicht gespeichert. Bitte prüfe die Zugriffsrechte der Datei.")
                    .arg(filePath_, fileReadErrorReason(error));
            useScratch();
            return;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        bool damaged = looksDamaged(bytes);
        if (!damaged) {
            store_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
            damaged = store_->status() == QSettings::FormatError;
            if (store_->status() == QSettings::AccessError) {
                store_.reset();
                status_ = Status::Unreadable;
                problem_ =
                    QStringLiteral(
                        "Die Einstellungen in „%1“ können nicht gelesen werden. Quandor lässt die "
                        "Datei unverändert; Änderungen werden in dieser Sitzung nicht gespeichert.")
                        .arg(filePath_);
                useScratch();
                return;
            }
            if (!damaged) return;
            store_.reset();
        }
        // Damaged: keep the file aside before starting fresh; never overwrite it unseen.
        const QString aside = asideName(filePath_);
        if (QFile::copy(filePath_, aside) && QFile::remove(filePath_)) {
            status_ = Status::Damaged;
            problem_ = QStringLiteral(
                           "Die Einstellungen in „%1“ waren beschädigt und konnten nicht gelesen "
                           "werden. Quandor hat die Datei als „%2“ aufbewahrt und beginnt mit "
                           "neuen Einstellungen. Bitte prüfe deine Einstellungen.")
                           .arg(filePath_, aside);
        } else {
            QFile::remove(aside);
            status_ = Status::Unreadable;
            problem_ = QStringLiteral(
                           "Die Einstellungen in „%1“ sind beschädigt, und Quandor konnte keine "
                           "Sicherheitskopie davon anlegen. Die Datei bleibt unverändert; "
                           "Änderungen werden in dieser Sitzung nicht gespeichert.")
                           .arg(filePath_);
            useScratch();
            return;
        }
    }

    // Absent (or just put aside): create it, with its folder.
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    {
        QFile create(filePath_);
        if (!QFileInfo::exists(filePath_)) (void)create.open(QIODevice::WriteOnly);
    }
    store_ = std::make_unique<QSettings>(filePath_, QSettings::IniFormat);
}

// QSettings reads "/" and "\" in keys as group separators and would fold
// "a\b" into "a/b". Escaping them (and "%" itself) keeps every key as it is.
QString Settings::encodeKey(QStringView key) const {
    QString out;
    out.reserve(key.size());
    for (QChar c : key) {
        if (c == u'%')
            out += QStringLiteral("%25");
        else if (c == u'/')
            out += QStringLiteral("%2F");
        else if (c == u'\\')
            out += QStringLiteral("%5C");
        else
            out += c;
    }
    return out;
}

QString Settings::decodeKey(const QString& stored) {
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'%' && i + 2 < stored.size()) {
            const QStringView code = QStringView(stored).mid(i + 1, 2);
            if (code == u"25") {
                out += u'%';
                i += 2;
                continue;
            }
            if (code.compare(u"2F", Qt::CaseInsensitive) == 0) {
                out += u'/';
                i += 2;
                continue;
            }
            if (code.compare(u"5C", Qt::CaseInsensitive) == 0) {
                out += u'\\';
                i += 2;
                continue;
            }
        }
        out += stored[i];
    }
    return out;
}

QVariant Settings::raw(QStringView key) const {
    if (key.isEmpty()) return {};
    return store_->value(encodeKey(key));
}

// ---- reading ----------------------------------------------------------------

bool Settings::getBool(QStringView key) const {
    const QVariant v = raw(key);
    if (!v.isValid()) return false;
    const QString t = asText(v).trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) return true;
    if (t.compare(u"false", Qt::CaseInsensitive) == 0 || t.isEmpty()) return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? d != 0.0 : v.toBool();
}

int64_t Settings::getInt(QStringView key) const {
    const QVariant v = raw(key);
    if (!v.isValid()) return 0;
    const QString t = asText(v).trimmed();
    bool ok = false;
    const qlonglong i = t.toLongLong(&ok);
    if (ok) return i;
    const double d = t.toDouble(&ok);
    if (ok && d > -9.2e18 && d < 9.2e18) return static_cast<int64_t>(d);
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) return 1;
    return 0;
}

float Settings::getFloat(QStringView key) const {
    const QVariant v = raw(key);
    if (!v.isValid()) return 0.0f;
    if (auto f = parseFloat(asText(v).trimmed())) return *f;
    return 0.0f;
}

QString Settings::getText(QStringView key) const {
    const QVariant v = raw(key);
    return v.isValid() ? asText(v) : QString();
}

QString Settings::getPath(QStringView key) const {
    return getText(key);
}

std::optional<QDateTime> Settings::getDate(QStringView key) const {
    const QVariant v = raw(key);
    if (!v.isValid()) return std::nullopt;
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime().toUTC();
    QDateTime d = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (!d.isValid()) return std::nullopt;
    return d.toUTC();
}

QString Settings::storedText(QStringView key) const {
    const QVariant v = raw(key);
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    return asText(v);
}

// ---- writing ----------------------------------------------------------------

void Settings::setBool(QStringView key, bool value) {
    if (!key.isEmpty())
        store_->setValue(encodeKey(key), value ? QStringLiteral("true") : QStringLiteral("false"));
}

void Settings::setInt(QStringView key, int64_t value) {
    if (!key.isEmpty()) store_->setValue(encodeKey(key), QString::number(value));
}

void Settings::setFloat(QStringView key, float value) {
    if (!key.isEmpty()) store_->setValue(encodeKey(key), floatText(value));
}

void Settings::setText(QStringView key, const QString& value) {
    if (!key.isEmpty()) store_->setValue(encodeKey(key), value);
}

void Settings::setPath(QStringView key, const QString& value) {
    setText(key, value);
}

void Settings::setDate(QStringView key, const QDateTime& value) {
    if (!key.isEmpty()) store_->setValue(encodeKey(key), value.toUTC().toString(Qt::ISODateWithMs));
}

bool Settings::contains(QStringView key) const {
    return !key.isEmpty() && store_->contains(encodeKey(key));
}

std::optional<QVariant> Settings::rawValue(QStringView key) const {
    if (!contains(key)) return std::nullopt;
    return raw(key);
}

void Settings::setRawValue(QStringView key, const std::optional<QVariant>& value) {
    if (key.isEmpty()) return;
    if (value)
        store_->setValue(encodeKey(key), *value);
    else
        store_->remove(encodeKey(key));
}

void Settings::remove(QStringView key) {
    if (!key.isEmpty()) store_->remove(encodeKey(key));
}

QStringList Settings::keys() const {
    QStringList out;
    for (const QString& k : store_->allKeys()) out << decodeKey(k);
    out.sort();
    return out;
}

bool Settings::sync(QString* error) {
    if (status_ == Status::Unreadable) {
        if (error)
            *error = QStringLiteral(
                         "Die Einstellungen werden nicht in „%1“ gespeichert, weil diese Datei "
                         "nicht gelesen werden konnte.")
                         .arg(filePath_);
        return false;
    }
    store_->sync();
    if (store_->status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral(
                         "Die Einstellungen konnten nicht in „%1“ gespeichert werden. Bitte prüfe, "
                         "ob der Ordner beschreibbar ist.")
                         .arg(filePath_);
        return false;
    }
    if (error) error->clear();
    return true;
}

// ---- floats -------------------------------------------------------------------

QString Settings::floatText(float value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}

std::optional<float> Settings::parseFloat(const QString& text) {
    const QByteArray latin = text.trimmed().toLatin1();
    if (latin.isEmpty()) return std::nullopt;
    const char* begin = latin.constData();
    if (*begin == '+') ++begin;
    float f = 0.0f;
    const auto r = std::from_chars(begin, latin.constData() + latin.size(), f);
    if (r.ec != std::errc() || r.ptr != latin.constData() + latin.size()) {
        // Values written by other tools, e.g. with a decimal comma.
        bool ok = false;
        const double d = QString(text).replace(u',', u'.').toDouble(&ok);
        if (!ok) return std::nullopt;
        return static_cast<float>(d);
    }
    return f;
}

}  // namespace quandor
