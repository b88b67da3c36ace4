#pragma once
// The titles and buttons every alert of the bookkeeping controllers uses. The
// messages themselves belong to the controller that shows them.

#include <QString>

namespace quandor {

struct AlertWords {
    static const QString kErrorTitle;      // "Fehler!"
    static const QString kNoticeTitle;     // "Hinweis!"
    static const QString kAttentionTitle;  // "Achtung!"
    static const QString kOkButton;        // "OK"
    static const QString kCancelButton;    // "Abbrechen"
    static const QString kDeleteButton;    // "Löschen"
};

}  // namespace quandor
