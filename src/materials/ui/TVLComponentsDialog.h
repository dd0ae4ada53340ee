#pragma once
// The layers of a laminate: a list of catalogue materials, one per layer, repeats allowed.

#include <string>

#include <QDialog>

#include "model/MaterialKey.h"
class QListWidget;
class QPushButton;

namespace tavrel {

struct AppSettings;

class TVLComponentsDialog : public QDialog {
    Q_OBJECT
public:
    // `components` is the caller's copy, edited in place; the caller keeps it on OK only.
    TVLComponentsDialog(AppSettings& settings, MaterialKeyList& components, QWidget* parent = nullptr);

    void SetTitle(const std::string& title) { title_ = title; }
    void SetHostSerieCode(const std::string& text) { host_ = text; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    void OnAdd();
    void OnDelete();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Fill(int select);

    AppSettings& settings_;
    MaterialKeyList& components_;
    std::string title_;
    std::string host_ = "-";
    bool readOnly_ = false;
    QListWidget* list_;
    QPushButton* delete_;
};

}  // namespace tavrel
