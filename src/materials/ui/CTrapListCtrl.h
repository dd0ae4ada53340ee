#pragma once
// The list controls of the catalogue windows: a report list whose copy, paste and delete keys
// become commands of the window that holds it.

#include <QTreeWidget>

namespace tavrel {

class CTrapListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CTrapListCtrl(QWidget* parent = nullptr);

signals:
    void CopyPressed();    // Ctrl+C, Ctrl+Insert
    void PastePressed();   // Ctrl+V, Shift+Insert
    void DeletePressed();  // Delete

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The materials list: the same keys; the materials window only remembers a copied row.
class CTrapMaterialListCtrl : public CTrapListCtrl {
    Q_OBJECT
public:
    using CTrapListCtrl::CTrapListCtrl;
};

}  // namespace tavrel
