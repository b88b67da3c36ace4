#include "core/archive/damage.h"

namespace quandor::archive {

QString damageDetail(Damage d) {
    switch (d) {
        case Damage::None:
            return QString();
        case Damage::Empty:
            return QStringLiteral("die Datei ist leer");
        case Damage::UnknownFormat:
            return QStringLiteral("unbekanntes Dateiformat");
        case Damage::TooShort:
            return QStringLiteral("die Datei ist zu kurz");
        case Damage::BadTrailer:
            return QStringLiteral("ungültiger Dateiabschluss");
        case Damage::OffsetOutOfRange:
            return QStringLiteral("ein Objekt liegt außerhalb der Datei");
        case Damage::RefOutOfRange:
            return QStringLiteral("ein Verweis zeigt auf kein Objekt");
        case Damage::BadObject:
            return QStringLiteral("ein Objekt ist unlesbar");
        case Damage::CountTooLarge:
            return QStringLiteral("eine Anzahl ist größer als die Datei");
        case Damage::TooDeep:
            return QStringLiteral("zu tief verschachtelt");
        case Damage::Cycle:
            return QStringLiteral("ein Objekt enthält sich selbst");
        case Damage::TooLarge:
            return QStringLiteral("zu viele Werte für die Dateigröße");
        case Damage::TooManyKeys:
            return QStringLiteral("zu viele verschiedene Schlüssel");
        case Damage::NotKeyedArchive:
            return QStringLiteral("kein NSKeyedArchiver-Archiv");
        case Damage::BadVersion:
            return QStringLiteral("unbekannte Archivversion");
        case Damage::MissingTop:
            return QStringLiteral("das Wurzelobjekt fehlt");
        case Damage::MissingObjects:
            return QStringLiteral("die Objektliste fehlt");
        case Damage::NotDictionary:
            return QStringLiteral("ein Wörterbuch wurde erwartet");
        case Damage::NotList:
            return QStringLiteral("eine Liste wurde erwartet");
        case Damage::UnexpectedObject:
            return QStringLiteral("ein Wert steht an falscher Stelle");
        case Damage::MissingClass:
            return QStringLiteral("ein Objekt hat keine Klasse");
        case Damage::BadText:
            return QStringLiteral("ein Text ist unlesbar");
        case Damage::BadXml:
            return QStringLiteral("die XML-Daten sind unlesbar");
        case Damage::UnknownEntry:
            return QStringLiteral(
                "einem Datensatz fehlt ein Eintrag, an seiner Stelle steht ein unbekannter");
    }
    return QString();
}

QString damageMessage(Damage d) {
    return QStringLiteral("Die Datei ist beschädigt oder keine Quandor-Datei. (%1)")
        .arg(damageDetail(d));
}

}  // namespace quandor::archive
