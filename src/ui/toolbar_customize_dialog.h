#pragma once
// "Symbolleiste anpassen": the palette of offered entries on the left, the
// toolbar's entries on the right; entries are added, removed and moved with
// buttons, double clicks or drag and drop inside the toolbar list.

#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quandor::ui {

class ToolbarCustomizeDialog : public QDialog {
    Q_OBJECT
  public:
    ToolbarCustomizeDialog(const QStringList& current, QWidget* parent = nullptr);

    QStringList chosen() const;
    QListWidget* paletteList() const { return palette_; }
    QListWidget* toolbarList() const { return toolbar_; }

    void addSelected();
    void removeSelected();
    void moveSelected(int step);
    void restoreDefaults();

  private:
    void fillToolbar(const QStringList& ids);
    void updateButtons();
    QListWidgetItem* makeItem(const QString& identifier) const;

    QListWidget* palette_ = nullptr;
    QListWidget* toolbar_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

// The palette label of an entry ("Rechner", "Trennlinie", "Abstand", "Flexibler Abstand").
QString toolbarEntryLabel(const QString& identifier);

}  // namespace quandor::ui
