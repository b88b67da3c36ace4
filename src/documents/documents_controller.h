#pragma once
// Documents attached to an item, to a statement and to a year: the three
// document panels of the main window (and `quandor-cli attach|detach`).
//
//   selectFile(panel)            open dialog ─▶ copy ─▶ item: its document
//                                                     lists: a new row
//   receiveDroppedFiles(panel)   first file only ─▶ copy ─▶ the selected record's document
//   attach(panel, path)          as selectFile, with the file already chosen
//   revealFile / openFile        hand the selected record's document to the desktop
//   removeDocument(panel)        asks; item: forgets its document, lists: drops the row
//   changeProperties(panel)      what the panel shows
//
// The program never refers to the file the person chose: it copies it into
// the documents folder ("prefsDocPath") under a new name and stores the copy's
// path. A copy that fails is told in German and the record keeps what it had;
// no copy ever replaces a file, and copies are never deleted by the program.

#include "core/books.h"
#include "documents/document_files.h"

#include <QString>
#include <QStringList>

namespace quandor {

inline const QString kDocFolderTitle = QStringLiteral("Achtung!");
inline const QString kDocFolderMessage = QStringLiteral(
    "Der in den Einstellungen angegebene Ordner für Dateien ist nicht vorhanden oder "
    "beschreibbar.");
inline const QString kDocCopyTitle = QStringLiteral("Fehler!");
// %1: the reason.
inline const QString kDocCopyMessage =
    QStringLiteral("Die Datei konnte nicht angehängt werden. %1");
inline const QString kDocCopyKeptSuffix =
    QStringLiteral(" Das bisherige Dokument bleibt angehängt.");
inline const QString kDocMissingTitle = QStringLiteral("Hinweis!");
// %1: the stored path.
inline const QString kDocMissingMessage = QStringLiteral(
    "Die Datei „%1“ ist nicht mehr vorhanden. Vielleicht wurde sie im Ordner für Dateien gelöscht "
    "oder verschoben.");
inline const QString kDocHandOffTitle = QStringLiteral("Fehler!");
inline const QString kDocOpenMessage =
    QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden.");
inline const QString kDocRevealMessage =
    QStringLiteral("Der Ordner der Datei „%1“ konnte nicht geöffnet werden.");
inline const QString kDocRemoveTitle = QStringLiteral("Dokument entfernen");
inline const QString kDocRemoveItemMessage = QStringLiteral(
    "Möchtest du das Dokument wirklich vom Posten lösen? Die Datei im Ordner für Dateien bleibt "
    "erhalten.");
inline const QString kDocRemoveRowMessage = QStringLiteral(
    "Möchtest du das Dokument „%1“ wirklich aus der Liste löschen? Die Datei im Ordner für Dateien "
    "bleibt erhalten.");
inline const QString kDocOpenDialogTitle = QStringLiteral("Dokument anhängen");

// Hands the document stored at `path` to the desktop: its folder when
// `reveal`, else the file itself. A vanished file or a desktop that refuses is
// told in German.
bool handOffDocument(UiPort& ui, const QString& path, bool reveal);

class DocumentsController {
  public:
    enum class Panel { Item, Statement, Year };

    explicit DocumentsController(Books& books);

    // The document list of the statement or year panel (the selected
    // statement's or year's "files"); null for the item panel or without one.
    RecordList* fileList(Panel panel) const;
    // The selected row of a document list (-1: none); out-of-range rows select none.
    int selectedRow(Panel panel) const;
    void setSelectedRow(Panel panel, int row);

    // The record whose document a panel shows: the first selected item, or
    // the selected row of the list. Null when there is none.
    RecordPtr selectedRecord(Panel panel) const;

    // What the panel shows now. For list documents the title is also kept in
    // the record's "fileTitle" (announced as a change only when it differs).
    DocumentInfo changeProperties(Panel panel);

    bool selectFile(Panel panel);
    bool attach(Panel panel, const QString& source);
    bool receiveDroppedFiles(Panel panel, const QStringList& paths);
    bool revealFile(Panel panel);
    bool openFile(Panel panel);
    bool removeDocument(Panel panel);

    // "prefsDocPath", or the standard folder when it was never set.
    QString documentsFolder() const;

  private:
    bool folderReady();
    // Copies `source`; the copy's path, or empty after the German alert.
    QString copy(const QString& source, bool replacing);
    bool handOff(Panel panel, bool reveal);

    Books& books_;
    int statementRow_ = -1;
    int yearRow_ = -1;
};

}  // namespace quandor
