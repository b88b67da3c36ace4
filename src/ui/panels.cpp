#include "ui/panels.h"

#include "ui/icons.h"
#include "ui/placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quandor::ui {

QPixmap emblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(34, 91, 0));
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(15, 12, 34, 40), 3, 3);
    p.setPen(QPen(QColor(190, 200, 190), 2));
    for (int i = 0; i < 4; ++i) p.drawLine(QPointF(20, 21 + i * 8), QPointF(44, 21 + i * 8));
    p.setPen(QPen(QColor(135, 21, 22), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(20, 44), QPointF(28, 36), QPointF(34, 40), QPointF(44, 26)}));
    return pixmap;
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QStringLiteral("Über Quandor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 20);
    auto* picture = new QLabel(this);
    picture->setPixmap(emblem(96));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    const QString version = QCoreApplication::applicationVersion();
    auto* text = new QLabel(
        QStringLiteral("<div align='center'><h2>Quandor</h2><p>Version %1</p>"
                       "<p>Deine Buchhaltung für Einnahmen-Überschuss-Rechnung und "
                       "Umsatzsteuer-Voranmeldung – einfach, übersichtlich und auf Deutsch.</p>"
                       "</div>")
            .arg(version.isEmpty() ? QStringLiteral("3.0.0") : version.toHtmlEscaped()),
        this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    setFixedWidth(380);
}

InfoWindow::InfoWindow(const QString& title, const QString& html, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* browser = new QTextBrowser(this);
    browser->setOpenExternalLinks(true);
    browser->setHtml(html);
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(readableSize());
}

QSize InfoWindow::readableSize() {
    return {560, 480};
}

void InfoWindow::toggle() {
    if (isVisible()) {
        hide();
    } else {
        if (!placed_) {
            placed_ = true;
            placeOnScreen(this, readableSize(),
                          parentWidget() ? parentWidget()->window() : nullptr);
        }
        show();
        raise();
        activateWindow();
    }
}

QString helpText() {
    return QStringLiteral(
        "<h3>Hilfe</h3>"
        "<p><b>Jahre</b> enthalten deine <b>Abrechnungen</b> (zum Beispiel Monate oder Quartale), "
        "Abrechnungen enthalten deine <b>Posten</b>.</p>"
        "<p>Wähle links ein Jahr und eine Abrechnung; rechts siehst du ihre Posten, nach Datum "
        "sortiert. Über das Suchfeld filterst du die Liste nach Bezeichnung, Kategorie, Konto, "
        "Nummer, Kommentar, Belegnummer oder Betrag.</p>"
        "<p>Die Summe unter der Liste zählt die angezeigten Posten zusammen: grün, wenn du im Plus "
        "bist, rot, wenn die Ausgaben überwiegen.</p>"
        "<p>Die Symbolleiste passt du über ihr Kontextmenü (rechte Maustaste) an.</p>");
}

QString documentationText() {
    return QStringLiteral(
        "<h3>Dokumentation</h3>"
        "<p><b>Tastenkürzel</b></p>"
        "<ul><li>Strg+N: Neuer Posten</li><li>Strg+F: Posten suchen</li>"
        "<li>Strg+Umschalt+F: alle Posten aller Jahre durchsuchen</li>"
        "<li>Strg+P: Übersicht der Abrechnung drucken</li><li>Strg+U: Voranmeldung</li>"
        "<li>Strg+J: Berichte</li><li>Strg+Umschalt+U: Jahresübersicht</li>"
        "<li>Strg+K: Kassenbuch</li><li>Strg+S: Daten sichern</li>"
        "<li>Strg+,: Einstellungen</li><li>Strg+1: Hauptfenster zeigen</li>"
        "<li>Umschalt+F1: Handbuch</li><li>Strg+Q: Quandor beenden</li></ul>"
        "<p>Quandor sichert deine Daten alle 30 Sekunden und beim Beenden. Das Schließen des "
        "Hauptfensters beendet Quandor nicht: du holst es über das Quandor-Symbol im Infobereich "
        "oder in der Taskleiste zurück, in jedem Quandor-Fenster auch mit Strg+1.</p>");
}

}  // namespace quandor::ui
