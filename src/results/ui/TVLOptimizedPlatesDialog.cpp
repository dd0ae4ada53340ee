#include "results/ui/TVLOptimizedPlatesDialog.h"

#include <map>

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "common/Messages.h"
#include "model/PlateList.h"
#include "ui/AppIcons.h"
#include "ui/DialogStrings.h"
#include "ui/DialogUnits.h"

namespace tavrel {

namespace {

// Column widths as shares of the list's width.
const double kWidths[OptimisedPlatesOrder::kColumns] = {0.18, 0.11, 0.11, 0.11, 0.18, 0.15, 0.15};
constexpr int kPlainIcon = 180;
constexpr int kWarningIcon = 178;

// Grid lines between the cells, as the report list draws them. Drawn over the usual cell, so
// the selection keeps the style's colours.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(0xd8, 0xd8, 0xd8));
        const QRect r = option.rect;
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }
};

QFont NoticeFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    return font;
}

}  // namespace

TVLOptimizedPlatesDialog::TVLOptimizedPlatesDialog(PlateList& candidates, const PlateList& usedPlates,
                                                   const std::string& caption, const std::string& info,
                                                   QWidget* parent)
    : QDialog(parent), candidates_(candidates) {
    setObjectName("172");
    const DialogUnits du(font());
    setFixedSize(du.Size(480, 262));
    auto* infoLine = du.Place(new QLabel(ShownText(info), this), 7, 7, 466, 10);
    infoLine->setObjectName("1049");
    list_ = du.Place(new QTreeWidget(this), 7, 20, 466, 160);
    list_->setObjectName("1030");
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(16, 16));
    list_->header()->setSectionsClickable(true);
    list_->header()->setStretchLastSection(false);
    list_->setItemDelegate(new GridDelegate(list_));
    auto button = [&](const char* id, const char* text, int x, int y, int w) {
        auto* b = du.Place(new QPushButton(QString::fromLatin1(text), this), x, y, w, 14);
        b->setObjectName(QString::fromLatin1(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* all = button("1104", "00052", 7, 186, 64);
    QPushButton* none = button("1105", "00053", 75, 186, 64);
    QPushButton* restore = button("1106", "00244", 143, 186, 64);
    auto* warning = du.Place(new QPlainTextEdit(this), 7, 206, 322, 49);
    warning->setObjectName("1031");
    warning->setReadOnly(true);
    warning->setFont(NoticeFont());
    auto* group = du.PlaceGroup(new QGroupBox(QStringLiteral("00154"), this), 336, 206, 137, 49);
    group->setObjectName("1032");
    group->setFont(NoticeFont());
    QPushButton* again = button("1", "00163", 342, 222, 62);
    QPushButton* accept = button("2", "00164", 406, 222, 62);
    connect(all, &QPushButton::clicked, this, [this] { SetAllTicks(true); });
    connect(none, &QPushButton::clicked, this, [this] { SetAllTicks(false); });
    connect(restore, &QPushButton::clicked, this, [this] { ShowRows(OpeningTicks(rows_)); });
    connect(again, &QPushButton::clicked, this, &QDialog::accept);
    connect(accept, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &TVLOptimizedPlatesDialog::SortBy);

    setWindowTitle(ShownText(caption));
    CompileDialogStrings(this);
    QStringList headers;
    for (int c = 0; c < OptimisedPlatesOrder::kColumns; ++c)
        headers << QString::fromStdString(OptimisedColumnHeader(c));
    list_->setHeaderLabels(headers);
    // The viewport has no size before the window shows: the room is the list's inside, less a
    // vertical scroll bar, so a long list never needs a horizontal one.
    const int room = list_->width() - 2 * list_->frameWidth() -
                     list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    for (int c = 0; c < OptimisedPlatesOrder::kColumns; ++c) {
        list_->setColumnWidth(c, static_cast<int>(room * kWidths[c]));
        if (c > 0) list_->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }

    rows_ = BuildOptimisedRows(candidates_, usedPlates);
    if (AnyWarning(rows_)) warning->setPlainText(QString::fromStdString(Msg("00152")));
    order_.Open(rows_);
    ShowRows(OpeningTicks(rows_));
    if (QTreeWidgetItem* first = list_->topLevelItem(0)) {
        list_->setCurrentItem(first);
        list_->setFocus();
    }
}

void TVLOptimizedPlatesDialog::ShowRows(const std::vector<bool>& ticks) {
    list_->clear();
    for (size_t r = 0; r < rows_.size(); ++r) {
        const OptimisedPlateRow& row = rows_[r];
        auto* item = new QTreeWidgetItem();
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        for (int c = 0; c < OptimisedPlatesOrder::kColumns; ++c) {
            item->setText(c, ShownText(OptimisedCellText(row, c)));
            if (c > 0) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        item->setIcon(0, QIcon(IconPixmap(row.warning ? kWarningIcon : kPlainIcon, 16)));
        item->setData(0, Qt::UserRole, row.index);
        item->setCheckState(0, r < ticks.size() && ticks[r] ? Qt::Checked : Qt::Unchecked);
        list_->addTopLevelItem(item);
    }
}

std::vector<bool> TVLOptimizedPlatesDialog::Ticks() const {
    std::vector<bool> ticks;
    for (int r = 0; r < list_->topLevelItemCount(); ++r)
        ticks.push_back(list_->topLevelItem(r)->checkState(0) == Qt::Checked);
    return ticks;
}

void TVLOptimizedPlatesDialog::SetAllTicks(bool ticked) {
    for (int r = 0; r < list_->topLevelItemCount(); ++r)
        list_->topLevelItem(r)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

void TVLOptimizedPlatesDialog::SortBy(int column) {
    // The ticks belong to the plates, not to the places in the list.
    std::map<int, bool> byPlate;
    const std::vector<bool> ticks = Ticks();
    for (size_t r = 0; r < rows_.size() && r < ticks.size(); ++r) byPlate[rows_[r].index] = ticks[r];
    const int current = list_->currentItem() ? list_->currentItem()->data(0, Qt::UserRole).toInt() : -1;
    order_.Click(rows_, column);
    std::vector<bool> sorted;
    for (const OptimisedPlateRow& row : rows_) sorted.push_back(byPlate[row.index]);
    ShowRows(sorted);
    for (size_t r = 0; r < rows_.size(); ++r)
        if (rows_[r].index == current) list_->setCurrentItem(list_->topLevelItem(static_cast<int>(r)));
}

void TVLOptimizedPlatesDialog::done(int result) {
    // Either way out leaves the marks: the command reads them after an accept too.
    ApplyTicks(candidates_, rows_, Ticks());
    QDialog::done(result);
}

}  // namespace tavrel
