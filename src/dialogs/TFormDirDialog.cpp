#include "dialogs/TFormDirDialog.h"

#include "app/WindowFont.h"
#include "app/WindowPlacement.h"
#include "dialogs/HelpViewer.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vrelmont::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 6;
constexpr int kMaxIndentLevels = 10;
constexpr int kWideClientWidth = 410;   // 418 with the frame
constexpr int kNarrowClientWidth = 253; // 261 with the frame
constexpr int kClientHeight = 219;

// Indents each folder by its depth, so that the path from the root reads as a tree.
class FolderIndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex &index) {
        return qMin(index.data(kDepthRole).toInt(), kMaxIndentLevels) * kIndentPerLevel;
    }
};

// Shortens a path to fit `width` by leaving out folders after the root: "/…/Money/DATA".
QString ElidePath(const QString &path, const QFontMetrics &metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QChar separator = QDir::separator();
    const QStringList parts = path.split(separator);
    const QString ellipsis = QStringLiteral("…");
    for (int first = 2; first < parts.size(); ++first) {
        const QString candidate = parts.front() + separator + ellipsis + separator + parts.mid(first).join(separator);
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return metrics.elidedText(path, Qt::ElideLeft, width);
}

// The folders from the root down to `dir` ("/", "/home", "/home/user"), "/" separators.
QStringList PathFromRoot(const QString &dir) {
    QStringList chain;
    QString rest = dir;
    while (true) {
        chain.prepend(rest);
        const QString parent = QFileInfo(rest).path();
        if (parent == rest || QDir(rest).isRoot())
            break;
        rest = parent;
    }
    return chain;
}

QString FolderLabel(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

} // namespace

TFormDirDialog::TFormDirDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormDirDialog"));
    setFont(WindowFont());
    KeepCentredAtEveryShowing(this);
    // The window shows no title; a screen reader still names it.
    setAccessibleName(QStringLiteral("Výběr adresáře"));
    InstallHelpKey(this, [this] { return helpContext_ != 0 ? int(helpContext_) : int(kHelpDirectoryDialog); });

    Label1 = new QLabel(QStringLiteral("Adresář"), this);
    Label1->move(10, 10);
    Label1->adjustSize();
    LDirLabel = new QLabel(this);
    LDirLabel->setObjectName(QStringLiteral("LDirLabel"));
    LDirLabel->setGeometry(10, 30, 146, 17);

    DirectoryListBox = new QListWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setGeometry(10, 50, 146, 121);
    DirectoryListBox->setItemDelegate(new FolderIndentDelegate(DirectoryListBox));
    DirectoryListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    DirectoryListBox->installEventFilter(this);
    Label1->setBuddy(DirectoryListBox);
    DirectoryListBox->setAccessibleName(QStringLiteral("Adresář"));
    LDirLabel->setAccessibleDescription(QStringLiteral("Otevřený adresář"));
    connect(DirectoryListBox, &QListWidget::itemDoubleClicked, this, &TFormDirDialog::OpenFolderItem);

    Label2 = new QLabel(QStringLiteral("Jednotky"), this);
    Label2->move(10, 180);
    Label2->adjustSize();
    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    DriveComboBox->setGeometry(10, 195, 145, 20);
    Label2->setBuddy(DriveComboBox);
    DriveComboBox->setAccessibleName(QStringLiteral("Jednotky"));
    connect(DriveComboBox, &QComboBox::activated, this, &TFormDirDialog::DriveChosen);

    FileListBox = new QListWidget(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    FileListBox->setGeometry(165, 50, 145, 164);
    FileListBox->setAccessibleName(QStringLiteral("Soubory"));

    auto button = [this](const QString &caption, const char *name, int top) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(320, top, 81, 26);
        // No default button: Enter in the folder list opens a folder instead of closing.
        b->setAutoDefault(false);
        return b;
    };
    BBOk = button(QStringLiteral("OK"), "BBOk", 10);
    BBCancel = button(QStringLiteral("Zpět"), "BBCancel", 40);
    BBHelp = button(QStringLiteral("Nápověda"), "BBHelp", 75);
    connect(BBOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BBCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BBHelp, &QPushButton::clicked, this, &TFormDirDialog::BBHelpClick);

    setTabOrder(DirectoryListBox, DriveComboBox);
    setTabOrder(DriveComboBox, FileListBox);
    setTabOrder(FileListBox, BBOk);
    setTabOrder(BBOk, BBCancel);
    setTabOrder(BBCancel, BBHelp);

    FillDrives();
    currentDir_ = QDir::currentPath();
    ShowCurrentDirectory();
    ApplyLayout(true, false);
}

bool TFormDirDialog::SetDirectory(const QString &path) {
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (!info.isDir())
        return false;
    currentDir_ = QDir::cleanPath(info.absoluteFilePath());
    ShowCurrentDirectory();
    return true;
}

QString TFormDirDialog::Directory() const {
    return QDir::toNativeSeparators(currentDir_);
}

void TFormDirDialog::ApplyLayout(bool fileListVisible, bool helpVisible) {
    FileListBox->setVisible(fileListVisible);
    BBHelp->setVisible(helpVisible);
    const int buttonsLeft = fileListVisible ? 320 : 165;
    for (QPushButton *b : {BBOk, BBCancel, BBHelp})
        b->move(buttonsLeft, b->y());
    setFixedSize(fileListVisible ? kWideClientWidth : kNarrowClientWidth, kClientHeight);
}

void TFormDirDialog::CenterOnScreen() {
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TFormDirDialog::OpenFolderItem(QListWidgetItem *item) {
    if (item)
        SetDirectory(item->data(kPathRole).toString());
}

void TFormDirDialog::DriveChosen(int index) {
    if (!SetDirectory(DriveComboBox->itemData(index).toString()))
        SelectDriveOfCurrentDirectory(); // a volume that went away: show where we still are
}

void TFormDirDialog::BBHelpClick() {
    OpenHelpTopic(this, helpContext_);
}

bool TFormDirDialog::eventFilter(QObject *watched, QEvent *event) {
    if (watched == DirectoryListBox && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenFolderItem(DirectoryListBox->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormDirDialog::keyPressEvent(QKeyEvent *event) {
    // Enter presses only the button that has the focus; elsewhere it does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget()))
            focused->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormDirDialog::FillDrives() {
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(volume.rootPath());
        if (volume.isValid() && volume.isReady() && QFileInfo(root).isDir() && !roots.contains(root))
            roots.append(root);
    }
    std::sort(roots.begin() + 1, roots.end());
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString &root : roots)
        DriveComboBox->addItem(icon, QDir::toNativeSeparators(root), root);
}

void TFormDirDialog::SelectDriveOfCurrentDirectory() {
    // The volume holding the directory is the longest root that contains it.
    int best = 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < DriveComboBox->count(); ++i) {
        const QString root = DriveComboBox->itemData(i).toString();
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((currentDir_ == root || currentDir_.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    DriveComboBox->setCurrentIndex(best);
}

void TFormDirDialog::ShowCurrentDirectory() {
    LDirLabel->setText(ElidePath(Directory(), LDirLabel->fontMetrics(), DirectoryListBox->width()));
    LDirLabel->setToolTip(Directory());
    FillFolderList();
    FillFileList();
    SelectDriveOfCurrentDirectory();
}

void TFormDirDialog::FillFolderList() {
    DirectoryListBox->clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = PathFromRoot(currentDir_);
    for (int depth = 0; depth < chain.size(); ++depth) {
        auto *item = new QListWidgetItem(openIcon, FolderLabel(chain[depth]), DirectoryListBox);
        item->setData(kPathRole, chain[depth]);
        item->setData(kDepthRole, depth);
    }
    DirectoryListBox->setCurrentRow(int(chain.size()) - 1);
    const QDir dir(currentDir_);
    const auto subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders) {
        auto *item = new QListWidgetItem(closedIcon, name, DirectoryListBox);
        item->setData(kPathRole, dir.filePath(name));
        item->setData(kDepthRole, int(chain.size()));
    }
    DirectoryListBox->scrollToItem(DirectoryListBox->currentItem());
}

void TFormDirDialog::FillFileList() {
    FileListBox->clear();
    FileListBox->addItems(QDir(currentDir_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

} // namespace vrelmont::ui
