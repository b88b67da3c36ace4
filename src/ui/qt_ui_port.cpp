#include "ui/qt_ui_port.h"

#include "core/paths.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace quandor::ui {

QWidget* QtUiPort::dialogParent() const {
    if (parent_ && parent_->isVisible()) return parent_->window();
    return QApplication::activeWindow();
}

int QtUiPort::alert(AlertStyle style, const QString& title, const QString& message,
                    const QStringList& buttons) {
    QMessageBox box(dialogParent());
    switch (style) {
        case AlertStyle::Informational:
            box.setIcon(QMessageBox::Information);
            break;
        case AlertStyle::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case AlertStyle::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    box.setWindowTitle(title);
    box.setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    // Both texts as rich text, so line feeds of the message become line breaks.
    box.setTextFormat(Qt::RichText);
    box.setInformativeText(
        message.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    // A longer message gets room for whole lines instead of a narrow column
    // as wide as the title.
    if (message.size() > 50) {
        if (auto* info = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            info->setMinimumWidth(360);
    }
    const QStringList labels = buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
    QList<QAbstractButton*> pushed;
    qsizetype cancelIndex = -1;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        // Escape presses "Abbrechen" wherever it stands (the default may be
        // either button of a question); a single button is also the escape button.
        const bool cancel = labels[i] == QStringLiteral("Abbrechen");
        if (cancel && cancelIndex < 0) cancelIndex = i;
        pushed << box.addButton(labels[i],
                                cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    }
    // The first button is the default: Return presses it.
    box.setDefaultButton(qobject_cast<QPushButton*>(pushed.front()));
    if (cancelIndex >= 0) {
        box.setEscapeButton(pushed[cancelIndex]);
    } else if (pushed.size() == 1) {
        box.setEscapeButton(pushed.front());
    }
    QPointer<QWidget> before = QApplication::activeWindow();
    box.exec();
    // The keys go back to the window that was in front (a sheet waiting for a
    // correction), also where no window manager hands them back.
    if (before && before->isVisible()) before->activateWindow();
    const qsizetype index = pushed.indexOf(box.clickedButton());
    if (index >= 0) return int(index);
    // Closed without a button (only possible with an escape button).
    return int(cancelIndex >= 0 ? cancelIndex : 0);
}

void QtUiPort::beep() {
    QApplication::beep();
}

std::optional<QString> QtUiPort::saveDialog(const QString& title, const QString& fileType,
                                            const QString& proposedName) {
    QFileDialog dialog(dialogParent(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, false);
    if (!fileType.isEmpty()) {
        dialog.setNameFilter(QStringLiteral("%1 (*.%2)").arg(fileType.toUpper(), fileType));
        dialog.setDefaultSuffix(fileType);
    }
    // The documents folder, or the home folder where there is none yet: a
    // folder that does not exist would leave the dialog in the program's
    // working folder with the whole path in the name field.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    dialog.setDirectory(folder);
    dialog.selectFile(Paths::safeFileName(proposedName));
    // Room for the name, size and date columns.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(780, 480)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QString path = dialog.selectedFiles().front();
    // The file type is required: add it when the person typed a name without it.
    if (!fileType.isEmpty() && QFileInfo(path).suffix().compare(fileType, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + fileType;
    return path;
}

std::optional<QString> QtUiPort::openDialog(const QString& title, const QStringList& fileTypes) {
    QStringList patterns;
    for (const QString& type : fileTypes) patterns << QStringLiteral("*.") + type;
    const QString filter = patterns.isEmpty()
                               ? QString()
                               : QStringLiteral("(%1)").arg(patterns.join(QLatin1Char(' ')));
    const QString path = QFileDialog::getOpenFileName(dialogParent(), title, QString(), filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtUiPort::chooseFolder(const QString& title) {
    const QString path = QFileDialog::getExistingDirectory(dialogParent(), title);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

bool QtUiPort::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtUiPort::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtUiPort::revealFile(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool QtUiPort::launchApplication(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) return false;
    return QProcess::startDetached(program, arguments);
}

void QtUiPort::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void QtUiPort::schedule(int delayMs, std::function<void()> step) {
    QTimer::singleShot(std::max(0, delayMs), qApp, std::move(step));
}

void QtUiPort::quit() {
    // Before the event loop runs, main() asks quitRequested() and does not
    // enter it; once it runs, the loop ends after the current event.
    quitRequested_ = true;
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

}  // namespace quandor::ui
