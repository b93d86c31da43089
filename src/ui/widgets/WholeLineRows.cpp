#include "widgets/WholeLineRows.h"

#include <QFontMetrics>
#include <algorithm>

namespace vrelmont::ui {

int WholeLineRowHeight(const QFontMetrics &metrics) {
    // The tallest Czech capitals and the letters that reach lowest.
    static const QString kTallAndDeep = QStringLiteral("ŽČŘŠĎŤŇÁÉÍÓÚÝŮ ýgjpq");
    const QRect ink = metrics.boundingRect(kTallAndDeep);
    const int above = std::max(0, -ink.top() - metrics.ascent());
    const int below = std::max(0, ink.top() + ink.height() - metrics.descent());
    return metrics.height() + 2 * std::max(above, below) + 2;
}

QSize WholeLineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    QStyleOptionViewItem row(option);
    initStyleOption(&row, index); // the item's own font, when it has one
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), WholeLineRowHeight(row.fontMetrics)));
    return size;
}

} // namespace vrelmont::ui
