#include "documents/documents_controller.h"

#include "core/keys.h"
#include "core/settings.h"
#include "core/settings_keys.h"

#include <QFileInfo>

namespace quandor {

DocumentsController::DocumentsController(Books& books) : books_(books) {}

RecordList* DocumentsController::fileList(Panel panel) const {
    RecordPtr owner;
    if (panel == Panel::Statement) owner = books_.selection().selectedStatement();
    if (panel == Panel::Year) owner = books_.selection().selectedYear();
    return owner ? &owner->files() : nullptr;
}

int DocumentsController::selectedRow(Panel panel) const {
    const RecordList* list = fileList(panel);
    const int row = panel == Panel::Statement ? statementRow_
                    : panel == Panel::Year    ? yearRow_
                                              : -1;
    return list && row >= 0 && size_t(row) < list->size() ? row : -1;
}

void DocumentsController::setSelectedRow(Panel panel, int row) {
    if (panel == Panel::Statement) statementRow_ = row;
    if (panel == Panel::Year) yearRow_ = row;
}

RecordPtr DocumentsController::selectedRecord(Panel panel) const {
    if (panel == Panel::Item) return books_.selection().firstSelectedItem();
    const int row = selectedRow(panel);
    return row < 0 ? nullptr : (*fileList(panel))[size_t(row)];
}

DocumentInfo DocumentsController::changeProperties(Panel panel) {
    const RecordPtr record = selectedRecord(panel);
    DocumentInfo info = documentInfo(record ? record->text(keys::filePath) : QString());
    if (record && panel != Panel::Item && info.state == DocumentInfo::State::Present &&
        record->text(keys::fileTitle) != info.title) {
        record->set(keys::fileTitle, info.title);
        books_.noteChanged();
    }
    return info;
}

QString DocumentsController::documentsFolder() const {
    // Never set (the first start has not run here): the standard folder.
    const QString folder = books_.settings().getPath(prefs::prefsDocPath);
    return folder.isEmpty() ? books_.paths().documentsFolder : folder;
}

bool DocumentsController::folderReady() {
    if (documentsFolderProblem(documentsFolder()).isEmpty()) return true;
    books_.ui().alert(AlertStyle::Warning, kDocFolderTitle, kDocFolderMessage,
                      {QStringLiteral("OK")});
    return false;
}

QString DocumentsController::copy(const QString& source, bool replacing) {
    const DocumentCopy c = copyIntoDocuments(source, documentsFolder(), books_.now());
    if (c.ok) return c.path;
    books_.ui().alert(AlertStyle::Warning, kDocCopyTitle,
                      kDocCopyMessage.arg(c.reason) + (replacing ? kDocCopyKeptSuffix : QString()),
                      {QStringLiteral("OK")});
    return {};
}

bool DocumentsController::selectFile(Panel panel) {
    if ((panel == Panel::Item && !selectedRecord(panel)) ||
        (panel != Panel::Item && !fileList(panel))) {
        books_.ui().beep();
        return false;
    }
    if (!folderReady()) return false;
    const std::optional<QString> chosen = books_.ui().openDialog(kDocOpenDialogTitle, {});
    if (!chosen || chosen->isEmpty()) return false;
    return attach(panel, *chosen);
}

bool DocumentsController::attach(Panel panel, const QString& source) {
    if (!folderReady()) return false;
    if (panel == Panel::Item) {
        const RecordPtr item = selectedRecord(panel);
        if (!item) {
            books_.ui().beep();
            return false;
        }
        const QString path = copy(source, !item->text(keys::filePath).isEmpty());
        if (path.isEmpty()) return false;
        item->set(keys::filePath, path);
        books_.noteChanged();
        return true;
    }
    RecordList* list = fileList(panel);
    if (!list) {
        books_.ui().beep();
        return false;
    }
    const QString path = copy(source, false);
    if (path.isEmpty()) return false;
    RecordPtr file = Record::create(RecordClass::File, books_.nowStamp());
    file->set(keys::filePath, path);
    file->set(keys::fileTitle, QFileInfo(path).completeBaseName());
    list->push_back(file);
    setSelectedRow(panel, int(list->size()) - 1);
    books_.noteChanged();
    return true;
}

bool DocumentsController::receiveDroppedFiles(Panel panel, const QStringList& paths) {
    // A drop replaces the selected record's document; it never makes a new row.
    const RecordPtr record = selectedRecord(panel);
    if (!record || paths.isEmpty()) return false;
    if (!folderReady()) return false;
    const QString path = copy(paths.front(), !record->text(keys::filePath).isEmpty());
    if (path.isEmpty()) return false;
    record->set(keys::filePath, path);
    if (panel != Panel::Item) record->set(keys::fileTitle, QFileInfo(path).completeBaseName());
    books_.noteChanged();
    return true;
}

bool DocumentsController::handOff(Panel panel, bool reveal) {
    const RecordPtr record = selectedRecord(panel);
    const QString path = record ? record->text(keys::filePath) : QString();
    if (path.isEmpty()) {
        books_.ui().beep();
        return false;
    }
    return handOffDocument(books_.ui(), path, reveal);
}

bool handOffDocument(UiPort& ui, const QString& path, bool reveal) {
    if (!QFileInfo(path).isFile()) {
        ui.alert(AlertStyle::Informational, kDocMissingTitle, kDocMissingMessage.arg(path),
                 {QStringLiteral("OK")});
        return false;
    }
    if (reveal ? ui.revealFile(path) : ui.openFile(path)) return true;
    ui.alert(AlertStyle::Warning, kDocHandOffTitle,
             (reveal ? kDocRevealMessage : kDocOpenMessage).arg(path), {QStringLiteral("OK")});
    return false;
}

bool DocumentsController::revealFile(Panel panel) {
    return handOff(panel, true);
}

bool DocumentsController::openFile(Panel panel) {
    return handOff(panel, false);
}

bool DocumentsController::removeDocument(Panel panel) {
    const RecordPtr record = selectedRecord(panel);
    if (!record || (panel == Panel::Item && record->text(keys::filePath).isEmpty())) {
        books_.ui().beep();
        return false;
    }
    const QString title = record->text(keys::fileTitle).isEmpty()
                              ? QFileInfo(record->text(keys::filePath)).completeBaseName()
                              : record->text(keys::fileTitle);
    const QString message =
        panel == Panel::Item ? kDocRemoveItemMessage : kDocRemoveRowMessage.arg(title);
    if (books_.ui().alert(AlertStyle::Warning, kDocRemoveTitle, message,
                          {QStringLiteral("Löschen"), QStringLiteral("Abbrechen")}) != 0)
        return false;
    if (panel == Panel::Item) {
        record->set(keys::filePath, QString());
    } else {
        RecordList* list = fileList(panel);
        list->erase(list->begin() + selectedRow(panel));
        setSelectedRow(panel, -1);
    }
    books_.noteChanged();
    return true;
}

}  // namespace quandor
