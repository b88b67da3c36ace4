#include "ui/preference_panel.h"

#include "core/settings_keys.h"
#include "ui/general_page.h"
#include "ui/icons.h"
#include "ui/placement.h"
#include "ui/preference_pages.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace quandor::ui {

namespace {

QWidget* placeholderPage(const PreferencePageSpec& spec, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QString::fromUtf16(spec.identifier));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 24);
    auto* title = new QLabel(QString::fromUtf16(spec.label), page);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    auto* note = new QLabel(
        QStringLiteral("Diese Seite steht in einer der nächsten Versionen von Quandor bereit."),
        page);
    note->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(note);
    layout->addStretch();
    page->setMinimumSize(560, 220);
    return page;
}

// What the help panel says about each page.
QString pageHelp(QStringView identifier) {
    if (identifier == u"GeneralItemIdentifier")
        return QStringLiteral(
            "<p><b>Allgemein</b></p>"
            "<p><b>Firma</b> und <b>Steuernummer</b> stehen im Kopf deiner Ausdrucke und in der "
            "Voranmeldung.</p>"
            "<p>Die <b>Steuersätze</b> gelten für neue Posten. Änderst du sie, bleiben gebuchte "
            "Posten, wie sie sind.</p>"
            "<p>Unter <b>Drucken</b> legst du Rahmen, Währung und ungekürzte Texte fest, unter "
            "<b>Hilfe</b>, zu welchen Fenstern diese Hilfe gleich mit aufgeht.</p>");
    if (identifier == u"CategoriesItemIdentifier")
        return QStringLiteral(
            "<p><b>Kategorien</b> ordnen deine Posten, zum Beispiel „Büromaterial“ oder "
            "„Erlöse“.</p><p>Mit <b>+</b> legst du eine an, mit <b>−</b> löschst du die "
            "ausgewählte. Die Reihenfolge änderst du durch Ziehen.</p>"
            "<p>Gebuchte Posten behalten ihren Kategorienamen, auch wenn du ihn hier änderst.</p>");
    if (identifier == u"AccountsItemIdentifier")
        return QStringLiteral(
            "<p><b>Konten</b> mit Nummer und Bezeichnung, zum Beispiel nach dem "
            "DATEV-Kontenrahmen. Die Gewinnermittlung fasst deine Posten nach Konten "
            "zusammen.</p><p>Einen ganzen Kontenrahmen lädst du auf der Seite <b>Datev</b>.</p>");
    if (identifier == u"TemplatesItemIdentifier")
        return QStringLiteral(
            "<p><b>Vorlagen</b> sind Posten, die du immer wieder brauchst, etwa Miete oder "
            "Telefon.</p><p>Im Posten-Blatt übernimmst du sie mit <b>Vorlage</b>; eine neue "
            "entsteht auch über „Bearbeiten“ → „Vorlage aus Posten erstellen“.</p>");
    if (identifier == u"DataItemIdentifier")
        return QStringLiteral(
            "<p>Hier liegen deine <b>Daten</b>, deine <b>Dokumente</b> und deine "
            "<b>Sicherungen</b>.</p><p>Quandor hält sechs Sicherungen und überschreibt reihum die "
            "älteste. Ein anderer Datenordner wird erst nach einem Neustart benutzt.</p>");
    if (identifier == u"AccountItemIdentifier")
        return QStringLiteral(
            "<p>Mit <b>mehreren Benutzern</b> führst du die Bücher mehrerer Firmen getrennt, jede "
            "mit eigener Datenbank.</p><p>Beim Start wählst du, mit welcher du arbeitest; Firma "
            "und Steuernummer kommen dann vom Benutzer.</p>");
    if (identifier == u"DatevItemIdentifier")
        return QStringLiteral(
            "<p>Lade einen der <b>DATEV-Kontenrahmen</b> (SK04) als deine Kontenliste.</p>"
            "<p>Er ersetzt deine bisherigen Konten. Gebuchte Posten behalten ihre Konten, aber die "
            "Gewinnermittlung rechnet danach mit den neuen – erstelle deine Berichte also "
            "vorher.</p>");
    return {};
}

}  // namespace

PreferencePanel::PreferencePanel(Settings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
    setObjectName(QStringLiteral("preferencePanel"));
    toolbar_ = new QToolBar(QStringLiteral("Einstellungen"), this);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(32, 32));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    auto* centre = new QWidget(this);
    auto* row = new QHBoxLayout(centre);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    stack_ = new QStackedWidget(centre);
    row->addWidget(stack_, 1);
    help_ = new QLabel(centre);
    help_->setObjectName(QStringLiteral("helpDrawer"));
    help_->setWordWrap(true);
    help_->setTextFormat(Qt::RichText);
    help_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    help_->setFixedWidth(240);
    help_->setStyleSheet(
        QStringLiteral("QLabel { background: palette(alternate-base); padding: 10px; margin: 10px "
                       "10px 10px 0; border: 1px solid palette(mid); border-radius: 4px; }"));
    help_->setVisible(false);
    row->addWidget(help_);
    setCentralWidget(centre);

    for (const PreferencePageSpec& spec : preferencePages()) {
        const QString id = QString::fromUtf16(spec.identifier);
        auto* action = toolbar_->addAction(namedIcon(QString::fromUtf16(spec.iconName)),
                                           QString::fromUtf16(spec.label));
        action->setObjectName(id);
        action->setToolTip(QString::fromUtf16(spec.toolTip));
        action->setCheckable(true);
        group_->addAction(action);
        connect(action, &QAction::triggered, this, [this, id] { selectPage(id); });
        if (id == u"GeneralItemIdentifier") {
            general_ = new GeneralPage(settings_, stack_);
            connect(general_, &GeneralPage::showUsersPage, this,
                    [this] { selectPage(QStringLiteral("AccountItemIdentifier")); });
            stack_->addWidget(general_);
        } else {
            stack_->addWidget(placeholderPage(spec, stack_));
        }
    }
    // "Hilfe" at the far end of the toolbar, apart from the pages.
    auto* spacer = new QWidget(toolbar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar_->addWidget(spacer);
    helpAction_ =
        toolbar_->addAction(namedIcon(QStringLiteral("helpTemplate")), QStringLiteral("Hilfe"));
    helpAction_->setObjectName(QStringLiteral("helpDrawerAction"));
    helpAction_->setToolTip(
        QStringLiteral("Hier klicken um die Hilfe zu dieser Seite ein- oder auszublenden"));
    helpAction_->setCheckable(true);
    connect(helpAction_, &QAction::toggled, this, &PreferencePanel::setHelpShown);
    selectPage(QStringLiteral("GeneralItemIdentifier"));
}

bool PreferencePanel::helpShown() const {
    return !help_->isHidden();
}

void PreferencePanel::setHelpShown(bool shown) {
    if (helpAction_->isChecked() != shown) {
        const QSignalBlocker block(helpAction_);
        helpAction_->setChecked(shown);
    }
    if (helpShown() == shown) return;
    help_->setVisible(shown);
    adjustSize();
}

bool PreferencePanel::selectPage(const QString& identifier) {
    const int index = preferencePageIndex(identifier);
    if (index < 0) return false;
    const PreferencePageSpec& spec = preferencePages()[size_t(index)];
    // Only the shown page takes part in the window's size, so it fits the page.
    for (int i = 0; i < stack_->count(); ++i)
        stack_->widget(i)->setSizePolicy(
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored,
            i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    stack_->setCurrentIndex(index);
    group_->actions().at(index)->setChecked(true);
    setWindowTitle(QString::fromUtf16(spec.windowTitle));
    help_->setText(pageHelp(spec.identifier));
    if (index == 0 && general_) general_->reload();
    adjustSize();
    return true;
}

QString PreferencePanel::currentIdentifier() const {
    const int index = stack_->currentIndex();
    return index >= 0 ? QString::fromUtf16(preferencePages()[size_t(index)].identifier) : QString();
}

QWidget* PreferencePanel::page(const QString& identifier) const {
    const int index = preferencePageIndex(identifier);
    return index >= 0 ? stack_->widget(index) : nullptr;
}

void PreferencePanel::setPage(const QString& identifier, QWidget* page) {
    const int index = preferencePageIndex(identifier);
    if (index <= 0 || !page) return;  // Allgemein is built here
    QWidget* old = stack_->widget(index);
    stack_->insertWidget(index, page);
    stack_->removeWidget(old);
    old->deleteLater();
}

void PreferencePanel::showCentred(int pageIndex) {
    selectPage(QString::fromUtf16(preferencePages()[size_t(pageIndex)].identifier));
    if (settings_.getBool(prefs::prefsAlwaysShowPrefsHelpDawer) && !helpShown()) setHelpShown(true);
    if (!isVisible()) centreOver(this);
    show();
    raise();
    activateWindow();
}

void PreferencePanel::showPrefs() {
    showCentred(stack_->currentIndex() < 0 ? 0 : stack_->currentIndex());
}
void PreferencePanel::selectTab1() {
    showCentred(0);
}
void PreferencePanel::selectTab2() {
    showCentred(1);
}
void PreferencePanel::selectTab3() {
    showCentred(2);
}
void PreferencePanel::selectTab4() {
    showCentred(3);
}

void PreferencePanel::showEvent(QShowEvent* event) {
    if (general_) general_->reload();
    QMainWindow::showEvent(event);
}

void PreferencePanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void PreferencePanel::closeEvent(QCloseEvent* event) {
    settings_.sync();
    event->accept();
    emit closed();
}

}  // namespace quandor::ui
