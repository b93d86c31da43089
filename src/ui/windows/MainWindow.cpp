#include "windows/MainWindow.h"

#include "appearance/CaptionColour.h"
#include "checks/CheckRun.h"
#include "checks/ProtocolFile.h"
#include "common/AppIcon.h"
#include "common/ProgramTexts.h"
#include "common/WindowFont.h"
#include "common/WindowPlacement.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "location/CurrentAgenda.h"
#include "platform/DateText.h"
#include "widgets/ProgressGauge.h"
#include "widgets/ReportBox.h"
#include "widgets/RunAnnouncements.h"
#include "windows/AgendaWindow.h"
#include "windows/EngineTables.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindowRunHost.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace vrelmont::ui {
namespace {

// The window's outer size is 546 x 503 on a frame with 4-pixel sizeable borders and a 19-pixel
// caption; the controls are placed in the client area.
constexpr QSize kClientSize(538, 476);

const QString kNotice =
    QStringLiteral(" Upozornění: jedná se pouze o informativní výpis, program do dat agendy nijak "
                   "nezasahuje.                U modře označených položek se nemusí jednat o chybu.");

struct CheckBoxPlace {
    int number;
    const char *caption;
    bool blue;
    bool rightColumn;
    int row; // from 1
    int width;
};

// In run order: down the left column, then down the right one.
constexpr CheckBoxPlace kCheckBoxPlaces[] = {
    {1, "hlásit duplicitu čísel skladových zásob", false, false, 1, 241},
    {3, "hlásit duplicitu čísel kmenových karet", false, false, 2, 233},
    {2, "hlásit chybějící kmenové karty", false, false, 3, 265},
    {14, "hlásit kmenové karty bez popisu", false, false, 4, 257},
    {15, "hlásit skladové zásoby bez popisu", false, false, 5, 257},
    {4, "hlásit duplicitu PLU kmenových karet", false, false, 6, 233},
    {5, "hlásit duplicitu PLU skladových zásob", false, false, 7, 233},
    {6, "hlásit duplicitu katalog. čísla kmenových karet", true, true, 1, 246},
    {7, "hlásit duplicitu katalog. čísla skladových zásob", true, true, 2, 246},
    {8, "hlásit duplicitu čár. kódu kmenových karet", true, true, 3, 246},
    {9, "hlásit duplicitu čár. kódu skladových zásob", true, true, 4, 246},
    {10, "hlásit duplicitu zkratky kmenových karet", true, true, 5, 246},
    {11, "hlásit duplicitu zkratky skladových zásob", true, true, 6, 246},
    {12, "hlásit duplicitu popisu kmenových karet", true, true, 7, 246},
    {13, "hlásit duplicitu popisu skladových zásob", true, true, 8, 246},
};

// What the blue captions mean, for those who cannot tell the colour.
const QString kNeedNotBeErrorTip = QStringLiteral("Modře označená kontrola: nalezená položka nemusí být chybou.");

constexpr int kLeftColumnX = 8;
constexpr int kRightColumnX = 272;
constexpr int kFirstRowY = 12;
constexpr int kRowStep = 20;
constexpr int kCheckBoxHeight = 17;

QFrame *makeFrame(QWidget *parent, const char *name, QRect geometry, int shape, int shadow) {
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(shape | shadow);
    frame->setLineWidth(1);
    frame->setGeometry(geometry);
    return frame;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect geometry) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Enter and Esc trigger no button of this window.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    // Widened only when the font needs it.
    button->resize(std::max(geometry.width(), CaptionWidth(button)), geometry.height());
    return button;
}

// A plain top-level widget is exposed to assistive tools as a "filler" that screen readers do not
// announce; the program's main window is a window, as the dialogs are.
QAccessibleInterface *MainWindowAccessible(const QString &className, QObject *object) {
    if (className == QLatin1String(MainWindow::staticMetaObject.className()) && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

QString withDefaultSuffix(const QString &fileName, const QString &suffix) {
    if (!QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

} // namespace

int CaptionWidth(const QPushButton *button) {
    const QStyle *style = button->style();
    const int margins = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                             style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    return button->fontMetrics().horizontalAdvance(button->text()) + margins;
}

MainWindow::MainWindow(EngineTables &tables, const CurrentAgenda &agenda, QWidget *parent)
    : QWidget(parent, Qt::Window), tables_(tables), agenda_(agenda) {
    setObjectName(QStringLiteral("frmMain"));
    static const bool accessibleAsWindow = (QAccessible::installFactory(MainWindowAccessible), true);
    Q_UNUSED(accessibleAsWindow);
    // System menu, minimise and close boxes; no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ApplicationTitle());
    setWindowIcon(AppIcon());
    setFont(WindowFont());
    resize(kClientSize);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    KeepFromMaximising(this);
    InstallHelpKey(this, kHelpMainWindow);

    saveRequest_.filter = QStringLiteral("Textové soubory (*.txt)");
    saveRequest_.defaultSuffix = QStringLiteral("txt");

    createControls();
    createCheckBoxes();
    arrangeTabOrder();
    connectHandlers();
    runHost_ = std::make_unique<MainWindowRunHost>(MainWindowRunHost::Controls{
        reportBox_, gauge_, checkBoxes_, this, [this](bool running) { setRunState(running); }});
    announcements_ = std::make_unique<RunAnnouncements>(reportBox_, gauge_);
    setRunState(false);
    colourBlueCaptions();
    // The first of the tab order has the focus when the window first appears.
    checkBoxes_[0]->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    iconOutline_ = makeFrame(this, "Shape4", {8, 8, 38, 38}, QFrame::Box, QFrame::Plain);
    QPalette outline = iconOutline_->palette();
    outline.setColor(QPalette::WindowText, Qt::black);
    iconOutline_->setPalette(outline);
    iconBevel_ = makeFrame(this, "Bevel1", {9, 9, 36, 36}, QFrame::Panel, QFrame::Raised);
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("Image1"));
    icon_->setGeometry(11, 11, 32, 32);
    icon_->setPixmap(AppPixmap(32));
    icon_->setAccessibleName(ApplicationTitle());

    noticeBevel_ = makeFrame(this, "Bevel2", {56, 8, 473, 38}, QFrame::Panel, QFrame::Raised);
    notice_ = new QLabel(kNotice, this);
    notice_->setObjectName(QStringLiteral("Label2"));
    notice_->setGeometry(57, 9, 471, 35);
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice_->setAutoFillBackground(true);
    notice_->setBackgroundRole(QPalette::ToolTipBase);
    notice_->setForegroundRole(QPalette::ToolTipText);

    checkFrame_ = new QGroupBox(this);
    checkFrame_->setObjectName(QStringLiteral("GroupBox1"));
    checkFrame_->setGeometry(8, 64, 521, 177);
    checkFrame_->setAccessibleName(QStringLiteral("Kontroly"));

    reportBox_ = new ReportBox(this);
    reportBox_->setObjectName(QStringLiteral("RichEdit1"));
    reportBox_->setGeometry(8, 256, 521, 145);
    reportBox_->setAccessibleName(QStringLiteral("Protokol kontrol"));

    gauge_ = new ProgressGauge(this);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    gauge_->setGeometry(8, 411, 521, 17);
    gauge_->setAccessibleName(QStringLiteral("Průběh kontroly"));

    startButton_ = makeButton(this, "Button2", QStringLiteral("Start"), {8, 440, 97, 25});
    abortButton_ = makeButton(this, "Button3", QStringLiteral("Přerušit"), {104, 440, 97, 25});
    saveReportButton_ = makeButton(this, "Button4", QStringLiteral("Uložit protokol"), {200, 440, 97, 25});
    changeAgendaButton_ = makeButton(this, "Button1", QStringLiteral("Změna agendy"), {296, 440, 97, 25});
    infoButton_ = makeButton(this, "Button6", QStringLiteral("Info"), {392, 440, 42, 25});
    exitButton_ = makeButton(this, "Button5", QStringLiteral("Konec"), {448, 440, 81, 25});
}

void MainWindow::createCheckBoxes() {
    int rightColumnWidth = 0;
    for (const CheckBoxPlace &place : kCheckBoxPlaces) {
        auto *box = new QCheckBox(QString::fromUtf8(place.caption), checkFrame_);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(place.number));
        box->setChecked(true);
        if (place.blue) {
            box->setProperty("needNotBeError", true);
            box->setToolTip(kNeedNotBeErrorTip);
            box->setAccessibleDescription(kNeedNotBeErrorTip);
        }
        const int width = std::max(place.width, box->sizeHint().width());
        const int x = place.rightColumn ? kRightColumnX : kLeftColumnX;
        box->setGeometry(x, kFirstRowY + (place.row - 1) * kRowStep, width, kCheckBoxHeight);
        if (place.rightColumn)
            rightColumnWidth = std::max(rightColumnWidth, width);
        checkBoxes_[static_cast<std::size_t>(place.number - 1)] = box;
    }
    // A wider font would push the right column past the frame: the column moves left as one instead.
    const int frameInnerRight = checkFrame_->width() - 3;
    const int rightX = std::min(kRightColumnX, frameInnerRight - rightColumnWidth);
    for (const CheckBoxPlace &place : kCheckBoxPlaces) {
        if (place.rightColumn)
            checkBox(place.number)->move(rightX, checkBox(place.number)->y());
    }
}

void MainWindow::arrangeTabOrder() {
    // Inside the frame by the numbers in the names; then Start, Přerušit, Uložit protokol, Konec,
    // Změna agendy, the report box and Info.
    QList<QWidget *> chain(checkBoxes_.begin(), checkBoxes_.end());
    chain << startButton_ << abortButton_ << saveReportButton_ << exitButton_ << changeAgendaButton_ << reportBox_
          << infoButton_;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::connectHandlers() {
    connect(changeAgendaButton_, &QPushButton::clicked, this, &MainWindow::onChangeAgendaClicked);
    connect(startButton_, &QPushButton::clicked, this, &MainWindow::onStartClicked);
    connect(abortButton_, &QPushButton::clicked, this, &MainWindow::onAbortClicked);
    connect(saveReportButton_, &QPushButton::clicked, this, &MainWindow::onSaveReportClicked);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::onExitClicked);
    connect(infoButton_, &QPushButton::clicked, this, &MainWindow::onInfoClicked);
}

SelectedChecks MainWindow::selectedChecks() const {
    SelectedChecks checks;
    for (int n = 1; n <= SelectedChecks::kCount; ++n)
        checks.set(n, checkBox(n)->isChecked());
    return checks;
}

void MainWindow::setSelectedChecks(const SelectedChecks &checks) {
    for (int n = 1; n <= SelectedChecks::kCount; ++n)
        checkBox(n)->setChecked(checks.contains(n));
}

bool MainWindow::isAbortRequested() const {
    return runHost_->AbortRequested();
}

void MainWindow::colourBlueCaptions() {
    const QColor background = palette().color(QPalette::Active, QPalette::Window);
    const Rgb blue = ReadableBlue({background.red(), background.green(), background.blue()});
    for (QCheckBox *box : checkBoxes_) {
        if (!box->property("needNotBeError").toBool())
            continue;
        QPalette captions = palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive})
            captions.setColor(group, QPalette::WindowText, QColor(blue.red, blue.green, blue.blue));
        box->setPalette(captions);
    }
}

void MainWindow::setRunState(bool running) {
    startButton_->setEnabled(!running);
    abortButton_->setEnabled(running);
    saveReportButton_->setEnabled(!running);
    exitButton_->setEnabled(!running);
    changeAgendaButton_->setEnabled(!running);
    if (!running)
        reportBox_->flushPendingLines();
}

// --- Handlers ---

void MainWindow::onChangeAgendaClicked() {
    // Změna agendy: a confirmed agenda is used from the next Start on; the report stays as it is.
    // Disabled during a run; a click that still arrives must not swap the agenda under the run.
    if (runInProgress_)
        return;
    GuardHandler(this, [this] {
        if (!agendaWindow_)
            throw std::logic_error("Změna agendy: the agenda window has not been set");
        agendaWindow_->selectAgenda(agenda_.dataRoot);
    });
}

void MainWindow::onStartClicked() {
    // Start is disabled during a run; a click that still arrives (a queued one) starts nothing.
    if (runInProgress_)
        return;
    runInProgress_ = true;
    runHost_->prepareRun();
    announcements_->beginRun();
    GuardHandler(this, [this] {
        const RunContext context{agenda_.agendaDir, agenda_.agendaName, TodayShortDateText()};
        RunChecks(*runHost_, context, tables_.walkTable, tables_.lookupTable);
    });
    runInProgress_ = false;
    setRunState(false);
    announcements_->endRun(); // once its last line is in the box
    // A close asked for during the run takes effect now that the run has returned.
    if (closePending_) {
        closePending_ = false;
        close();
    }
    if (endPending_) {
        endPending_ = false;
        QCoreApplication::exit(0);
    }
}

void MainWindow::onAbortClicked() {
    runHost_->requestAbort();
}

void MainWindow::onSaveReportClicked() {
    GuardHandler(this, [this] {
        const QString chosen = AskSaveFileName(this, saveRequest_);
        if (chosen.isEmpty())
            return;
        const QString fileName = withDefaultSuffix(chosen, saveRequest_.defaultSuffix);
        saveRequest_.initialName = fileName;
        std::vector<std::string> lines;
        for (const QString &line : reportBox_->lines())
            lines.push_back(line.toStdString());
        WriteProtocolFile(fileName.toStdString(), lines);
    });
}

void MainWindow::onExitClicked() {
    // Konec ends the program without passing through the close request.
    if (exitProgram_)
        exitOnce();
    else
        close();
}

void MainWindow::setInfoWindow(InfoWindow *infoWindow, const QString &programVersion) {
    infoWindow_ = infoWindow;
    programVersion_ = programVersion;
}

void MainWindow::onInfoClicked() {
    // Info: modal, so a run waits until the window is closed.
    GuardHandler(this, [this] {
        if (!infoWindow_)
            throw std::logic_error("Info: the information window has not been set");
        infoWindow_->showWithVersion(programVersion_);
    });
}

void MainWindow::exitOnce() {
    if (exitDone_ || !exitProgram_)
        return;
    exitDone_ = true;
    exitProgram_();
}

void MainWindow::endProgramWhenIdle() {
    if (runInProgress_) {
        endPending_ = true;
        return;
    }
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // The settings are written at once, also during a run. The run goes on until it finishes or is
    // aborted; the window closes (and the program ends) when it has returned.
    exitOnce();
    if (runInProgress_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // A dark palette needs a lighter blue to stay readable.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        colourBlueCaptions();
}

void MainWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        checkBoxes_[0]->setFocus(Qt::ActiveWindowFocusReason);
    }
}

} // namespace vrelmont::ui
