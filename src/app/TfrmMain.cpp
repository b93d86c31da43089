#include "app/TfrmMain.h"

#include "app/AppIcon.h"
#include "app/TGauge.h"
#include "app/TReportBox.h"
#include "app/WindowFont.h"
#include "app/WindowPlacement.h"
#include "app/core/CaptionColour.h"
#include "app/core/ProgramValues.h"
#include "checks/AbortFlag.h"
#include "checks/CheckRun.h"
#include "checks/ProtocolFile.h"
#include "dialogs/ErrorReport.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/TfrmAbout.h"
#include "location/CurrentAgenda.h"
#include "location/ui/TfrmGetAgenda.h"
#include "platform/DateText.h"

#include <QAccessible>
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

TfrmMain::TfrmMain(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmMain"));
    // System menu, minimise and close boxes; no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(AppIcon());
    setFont(WindowFont());
    resize(kClientSize);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    KeepFromMaximising(this);
    InstallHelpKey(this, kHelpMainWindow);

    SaveDialog1.filter = QStringLiteral("Textové soubory (*.txt)");
    SaveDialog1.defaultSuffix = QStringLiteral("txt");

    createControls();
    createCheckBoxes();
    arrangeTabOrder();
    connectHandlers();
    SetRunState(false);
    colourBlueCaptions();
    // The first of the tab order has the focus when the window first appears.
    CheckBox1->setFocus(Qt::OtherFocusReason);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::createControls() {
    Shape4 = makeFrame(this, "Shape4", {8, 8, 38, 38}, QFrame::Box, QFrame::Plain);
    QPalette outline = Shape4->palette();
    outline.setColor(QPalette::WindowText, Qt::black);
    Shape4->setPalette(outline);
    Bevel1 = makeFrame(this, "Bevel1", {9, 9, 36, 36}, QFrame::Panel, QFrame::Raised);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(11, 11, 32, 32);
    Image1->setPixmap(AppPixmap(32));
    Image1->setAccessibleName(QString::fromUtf8(kApplicationTitle));

    Bevel2 = makeFrame(this, "Bevel2", {56, 8, 473, 38}, QFrame::Panel, QFrame::Raised);
    Label2 = new QLabel(kNotice, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(57, 9, 471, 35);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setAutoFillBackground(true);
    Label2->setBackgroundRole(QPalette::ToolTipBase);
    Label2->setForegroundRole(QPalette::ToolTipText);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 64, 521, 177);
    GroupBox1->setAccessibleName(QStringLiteral("Kontroly"));

    RichEdit1 = new TReportBox(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(8, 256, 521, 145);
    RichEdit1->setAccessibleName(QStringLiteral("Protokol kontrol"));

    Gauge1 = new TGauge(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(8, 411, 521, 17);
    Gauge1->setAccessibleName(QStringLiteral("Průběh kontroly"));

    Button2 = makeButton(this, "Button2", QStringLiteral("Start"), {8, 440, 97, 25});
    Button3 = makeButton(this, "Button3", QStringLiteral("Přerušit"), {104, 440, 97, 25});
    Button4 = makeButton(this, "Button4", QStringLiteral("Uložit protokol"), {200, 440, 97, 25});
    Button1 = makeButton(this, "Button1", QStringLiteral("Změna agendy"), {296, 440, 97, 25});
    Button6 = makeButton(this, "Button6", QStringLiteral("Info"), {392, 440, 42, 25});
    Button5 = makeButton(this, "Button5", QStringLiteral("Konec"), {448, 440, 81, 25});
}

void TfrmMain::createCheckBoxes() {
    QCheckBox **named[] = {&CheckBox1,  &CheckBox2,  &CheckBox3,  &CheckBox4,  &CheckBox5,
                           &CheckBox6,  &CheckBox7,  &CheckBox8,  &CheckBox9,  &CheckBox10,
                           &CheckBox11, &CheckBox12, &CheckBox13, &CheckBox14, &CheckBox15};
    int rightColumnWidth = 0;
    for (const CheckBoxPlace &place : kCheckBoxPlaces) {
        auto *box = new QCheckBox(QString::fromUtf8(place.caption), GroupBox1);
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
        *named[place.number - 1] = box;
        checkBoxes_[place.number - 1] = box;
    }
    // A wider font would push the right column past the frame: the column moves left as one instead.
    const int frameInnerRight = GroupBox1->width() - 3;
    const int rightX = std::min(kRightColumnX, frameInnerRight - rightColumnWidth);
    for (const CheckBoxPlace &place : kCheckBoxPlaces) {
        if (place.rightColumn)
            checkBoxes_[place.number - 1]->move(rightX, checkBoxes_[place.number - 1]->y());
    }
}

void TfrmMain::arrangeTabOrder() {
    // Inside the frame by the numbers in the names; then Start, Přerušit, Uložit protokol, Konec,
    // Změna agendy, the report box and Info.
    QList<QWidget *> chain(checkBoxes_.begin(), checkBoxes_.end());
    chain << Button2 << Button3 << Button4 << Button5 << Button1 << RichEdit1 << Button6;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void TfrmMain::connectHandlers() {
    connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmMain::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TfrmMain::Button6Click);
}

QCheckBox *TfrmMain::checkBox(int number) const {
    if (number < 1 || number > static_cast<int>(checkBoxes_.size()))
        return nullptr;
    return checkBoxes_[number - 1];
}

void TfrmMain::colourBlueCaptions() {
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

// --- The run's host ---

void TfrmMain::ReportLine(const std::string &text) {
    RichEdit1->appendLine(QString::fromStdString(text));
    processEventsOnClock();
}

void TfrmMain::ProcessEvents() {
    processEventsOnClock();
}

void TfrmMain::processEventsOnClock() {
    // Often enough that lines, the gauge and Přerušit keep up with the user's eye and hand.
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs)
        return;
    processEventsNow();
}

void TfrmMain::processEventsNow() {
    // The lines gathered since the last look go to the text document in one piece, before the events.
    RichEdit1->flushPendingLines();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void TfrmMain::SetRunState(bool running) {
    Button2->setEnabled(!running);
    Button3->setEnabled(running);
    Button4->setEnabled(!running);
    Button5->setEnabled(!running);
    Button1->setEnabled(!running);
    if (!running)
        RichEdit1->flushPendingLines();
}

bool TfrmMain::IsChecked(int checkBoxNumber) {
    // A box ticked or unticked a moment ago counts: its click is handled before it is read.
    processEventsNow();
    const QCheckBox *box = checkBox(checkBoxNumber);
    return box != nullptr && box->isChecked();
}

void TfrmMain::ShowMessage(const std::string &text) {
    // The lines written before the failure are on screen while the box waits.
    RichEdit1->flushPendingLines();
    ShowMessageBox(this, QString::fromUtf8(kApplicationTitle), QString::fromStdString(text), BoxIcon::None);
}

std::string TfrmMain::TodayShortDate() {
    return TodayShortDateText();
}

void TfrmMain::FocusReport() {
    RichEdit1->setFocus();
}

Gauge &TfrmMain::gauge() {
    return *Gauge1;
}

// --- Handlers ---

void TfrmMain::Button1Click() {
    // Změna agendy: a confirmed agenda is used from the next Start on; the report stays as it is.
    // Disabled during a run; a click that still arrives must not swap the agenda under the run.
    if (runInProgress_)
        return;
    GuardHandler(this, [] { SelectAgenda(DataRootPath); });
}

void TfrmMain::Button2Click() {
    // Start is disabled during a run; a click that still arrives (a queued one) starts nothing.
    if (runInProgress_)
        return;
    runInProgress_ = true;
    sinceEvents_.invalidate();
    GuardHandler(this, [this] { RunChecks(*this, BFTable1, BFTable2); });
    runInProgress_ = false;
    SetRunState(false);
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

void TfrmMain::Button3Click() {
    AbortRequested = 1;
}

void TfrmMain::Button4Click() {
    GuardHandler(this, [this] {
        const QString chosen = AskSaveFileName(this, SaveDialog1);
        if (chosen.isEmpty())
            return;
        const QString fileName = withDefaultSuffix(chosen, SaveDialog1.defaultSuffix);
        SaveDialog1.initialName = fileName;
        std::vector<std::string> lines;
        for (const QString &line : RichEdit1->lines())
            lines.push_back(line.toStdString());
        WriteProtocolFile(fileName.toStdString(), lines);
    });
}

void TfrmMain::Button5Click() {
    // Konec ends the program without passing through the close request.
    if (exitProgram_)
        exitOnce();
    else
        close();
}

void TfrmMain::Button6Click() {
    // Info: modal, so a run waits until the window is closed.
    GuardHandler(this, [this] {
        if (!frmAbout_)
            throw std::logic_error("Info: the information window TfrmAbout has not been set");
        frmAbout_->ShowWithVersion(QString::fromStdString(ProgramVersion));
    });
}

void TfrmMain::exitOnce() {
    if (exitDone_ || !exitProgram_)
        return;
    exitDone_ = true;
    exitProgram_();
}

void TfrmMain::EndProgramWhenIdle() {
    if (runInProgress_) {
        endPending_ = true;
        return;
    }
    QCoreApplication::exit(0);
}

void TfrmMain::closeEvent(QCloseEvent *event) {
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

void TfrmMain::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // A dark palette needs a lighter blue to stay readable.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        colourBlueCaptions();
}

void TfrmMain::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        CheckBox1->setFocus(Qt::ActiveWindowFocusReason);
    }
}

} // namespace vrelmont::ui
