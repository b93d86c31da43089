#pragma once
// List rows that show Czech names whole. The háček above a capital (Ž, Č, Ř) reaches above many
// fonts' ascent, and a row only as high as the line spacing cuts it off: "Železářství" reads as
// "Zelezářství". Every list that shows agenda names, folders or files uses these rows.
#include <QStyledItemDelegate>

class QFontMetrics;

namespace vrelmont::ui {

// The height of a row whose text, centred in it, keeps all its ink: the line spacing, the ink that
// Czech letters draw beyond the ascent or descent on both sides, and a pixel of air above and below.
int WholeLineRowHeight(const QFontMetrics &metrics);

class WholeLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace vrelmont::ui
