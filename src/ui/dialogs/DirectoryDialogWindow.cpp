#include "dialogs/DirectoryDialogWindow.h"

#include "common/WindowFont.h"
#include "common/WindowPlacement.h"
#include "dialogs/HelpViewer.h"
#include "widgets/DriveSelector.h"
#include "widgets/WholeLineRows.h"

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
class FolderIndentDelegate : public WholeLineDelegate {
public:
    using WholeLineDelegate::WholeLineDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(index));
        WholeLineDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return WholeLineDelegate::sizeHint(option, index) + QSize(indent(index), 0);
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

DirectoryDialogWindow::DirectoryDialogWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("FormDirDialog"));
    setFont(WindowFont());
    KeepCentredAtEveryShowing(this);
    // The window shows no title; a screen reader still names it.
    setAccessibleName(QStringLiteral("Výběr adresáře"));
    InstallHelpKey(this, [this] { return helpContext_ != 0 ? int(helpContext_) : int(kHelpDirectoryDialog); });

    folderCaption_ = new QLabel(QStringLiteral("Adresář"), this);
    folderCaption_->setObjectName(QStringLiteral("Label1"));
    folderCaption_->move(10, 10);
    folderCaption_->adjustSize();
    currentDirLabel_ = new QLabel(this);
    currentDirLabel_->setObjectName(QStringLiteral("LDirLabel"));
    currentDirLabel_->setGeometry(10, 30, 146, 17);

    folderList_ = new QListWidget(this);
    folderList_->setObjectName(QStringLiteral("DirectoryListBox"));
    folderList_->setGeometry(10, 50, 146, 121);
    folderList_->setItemDelegate(new FolderIndentDelegate(folderList_));
    folderList_->setSelectionMode(QAbstractItemView::SingleSelection);
    folderList_->installEventFilter(this);
    folderCaption_->setBuddy(folderList_);
    folderList_->setAccessibleName(QStringLiteral("Adresář"));
    currentDirLabel_->setAccessibleDescription(QStringLiteral("Otevřený adresář"));
    connect(folderList_, &QListWidget::itemDoubleClicked, this, &DirectoryDialogWindow::onFolderItemOpened);

    driveCaption_ = new QLabel(QStringLiteral("Jednotky"), this);
    driveCaption_->setObjectName(QStringLiteral("Label2"));
    driveCaption_->move(10, 180);
    driveCaption_->adjustSize();
    driveBox_ = new DriveSelector(this);
    driveBox_->setObjectName(QStringLiteral("DriveComboBox"));
    driveBox_->setGeometry(10, 195, 145, 20);
    driveCaption_->setBuddy(driveBox_);
    driveBox_->setAccessibleName(QStringLiteral("Jednotky"));
    connect(driveBox_, &QComboBox::activated, this, &DirectoryDialogWindow::onDriveChosen);

    fileList_ = new QListWidget(this);
    fileList_->setObjectName(QStringLiteral("FileListBox"));
    fileList_->setGeometry(165, 50, 145, 164);
    fileList_->setItemDelegate(new WholeLineDelegate(fileList_));
    fileList_->setAccessibleName(QStringLiteral("Soubory"));

    auto button = [this](const QString &caption, const char *name, int top) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(320, top, 81, 26);
        // No default button: Enter in the folder list opens a folder instead of closing.
        b->setAutoDefault(false);
        return b;
    };
    okButton_ = button(QStringLiteral("OK"), "BBOk", 10);
    cancelButton_ = button(QStringLiteral("Zpět"), "BBCancel", 40);
    helpButton_ = button(QStringLiteral("Nápověda"), "BBHelp", 75);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton_, &QPushButton::clicked, this, &DirectoryDialogWindow::onHelpClicked);

    setTabOrder(folderList_, driveBox_);
    setTabOrder(driveBox_, fileList_);
    setTabOrder(fileList_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, helpButton_);

    fillDrives();
    currentDir_ = QDir::currentPath();
    showCurrentDirectory();
    applyLayout(true, false);
}

bool DirectoryDialogWindow::setDirectory(const QString &path) {
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (!info.isDir())
        return false;
    currentDir_ = QDir::cleanPath(info.absoluteFilePath());
    showCurrentDirectory();
    return true;
}

QString DirectoryDialogWindow::directory() const {
    return QDir::toNativeSeparators(currentDir_);
}

void DirectoryDialogWindow::applyLayout(bool fileListVisible, bool helpVisible) {
    fileList_->setVisible(fileListVisible);
    helpButton_->setVisible(helpVisible);
    const int buttonsLeft = fileListVisible ? 320 : 165;
    for (QPushButton *b : {okButton_, cancelButton_, helpButton_})
        b->move(buttonsLeft, b->y());
    setFixedSize(fileListVisible ? kWideClientWidth : kNarrowClientWidth, kClientHeight);
}

void DirectoryDialogWindow::centreOnScreen() {
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void DirectoryDialogWindow::onFolderItemOpened(QListWidgetItem *item) {
    if (item)
        setDirectory(item->data(kPathRole).toString());
}

void DirectoryDialogWindow::onDriveChosen(int index) {
    if (!setDirectory(driveBox_->itemData(index).toString()))
        selectDriveOfCurrentDirectory(); // a volume that went away: show where we still are
}

void DirectoryDialogWindow::onHelpClicked() {
    OpenHelpTopic(this, helpContext_);
}

bool DirectoryDialogWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == folderList_ && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onFolderItemOpened(folderList_->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DirectoryDialogWindow::keyPressEvent(QKeyEvent *event) {
    // Enter presses only the button that has the focus; elsewhere it does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget()))
            focused->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DirectoryDialogWindow::fillDrives() {
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(volume.rootPath());
        if (volume.isValid() && volume.isReady() && QFileInfo(root).isDir() && !roots.contains(root))
            roots.append(root);
    }
    std::sort(roots.begin() + 1, roots.end());
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString &root : roots)
        driveBox_->addItem(icon, QDir::toNativeSeparators(root), root);
}

void DirectoryDialogWindow::selectDriveOfCurrentDirectory() {
    // The volume holding the directory is the longest root that contains it.
    int best = 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < driveBox_->count(); ++i) {
        const QString root = driveBox_->itemData(i).toString();
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((currentDir_ == root || currentDir_.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    driveBox_->setCurrentIndex(best);
}

void DirectoryDialogWindow::showCurrentDirectory() {
    currentDirLabel_->setText(ElidePath(directory(), currentDirLabel_->fontMetrics(), folderList_->width()));
    currentDirLabel_->setToolTip(directory());
    currentDirLabel_->setAccessibleName(directory()); // the whole path, not the shortened one
    fillFolderList();
    fillFileList();
    selectDriveOfCurrentDirectory();
}

void DirectoryDialogWindow::fillFolderList() {
    folderList_->clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = PathFromRoot(currentDir_);
    for (int depth = 0; depth < chain.size(); ++depth) {
        auto *item = new QListWidgetItem(openIcon, FolderLabel(chain[depth]), folderList_);
        item->setData(kPathRole, chain[depth]);
        item->setData(kDepthRole, depth);
    }
    folderList_->setCurrentRow(int(chain.size()) - 1);
    const QDir dir(currentDir_);
    const auto subfolders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders) {
        auto *item = new QListWidgetItem(closedIcon, name, folderList_);
        item->setData(kPathRole, dir.filePath(name));
        item->setData(kDepthRole, int(chain.size()));
    }
    folderList_->scrollToItem(folderList_->currentItem());
}

void DirectoryDialogWindow::fillFileList() {
    fileList_->clear();
    fileList_->addItems(QDir(currentDir_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

} // namespace vrelmont::ui
