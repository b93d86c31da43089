#pragma once
// The main window: the notice, the fifteen check boxes, the report box, the gauge and the commands.
// It is the host of a check run: the run writes into its report box and moves its gauge.
#include "checks/RunHost.h"
#include "dialogs/Modal.h"
#include "hostdb/TBFTable.h"

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vrelmont::ui {

class TfrmAbout;
class TGauge;
class TReportBox;

// The width a push button needs to show its caption unclipped with the style's margins.
int CaptionWidth(const QPushButton *button);

class TfrmMain : public QWidget, public RunHost {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The check box with the number `number` (1..15) in its name.
    QCheckBox *checkBox(int number) const;
    bool isRunning() const { return runInProgress_; }
    bool isClosePending() const { return closePending_; }
    // Ends the main event loop, or, during a run, once the run has returned: ending it earlier would
    // also end every modal window the run still waits in (Info, a check's failure message).
    void EndProgramWhenIdle();

    // The information window that Info shows; the program entry sets its own.
    void SetAboutWindow(TfrmAbout *frmAbout) { frmAbout_ = frmAbout; }
    // What Konec and the close box run (ExitProgram, set by the program entry), once per exit.
    // Without it Konec simply closes the window.
    void SetExitProgram(std::function<void()> exitProgram) { exitProgram_ = std::move(exitProgram); }

    // RunHost
    void ReportLine(const std::string &text) override;
    void ProcessEvents() override;
    void SetRunState(bool running) override;
    bool IsChecked(int checkBoxNumber) override;
    void ShowMessage(const std::string &text) override;
    std::string TodayShortDate() override;
    void FocusReport() override;
    Gauge &gauge() override;

    QFrame *Shape4 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Image1 = nullptr;
    QFrame *Bevel2 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QCheckBox *CheckBox3 = nullptr;
    QCheckBox *CheckBox4 = nullptr;
    QCheckBox *CheckBox5 = nullptr;
    QCheckBox *CheckBox6 = nullptr;
    QCheckBox *CheckBox7 = nullptr;
    QCheckBox *CheckBox8 = nullptr;
    QCheckBox *CheckBox9 = nullptr;
    QCheckBox *CheckBox10 = nullptr;
    QCheckBox *CheckBox11 = nullptr;
    QCheckBox *CheckBox12 = nullptr;
    QCheckBox *CheckBox13 = nullptr;
    QCheckBox *CheckBox14 = nullptr;
    QCheckBox *CheckBox15 = nullptr;
    TReportBox *RichEdit1 = nullptr;
    TGauge *Gauge1 = nullptr;
    QPushButton *Button1 = nullptr; // Změna agendy
    QPushButton *Button2 = nullptr; // Start
    QPushButton *Button3 = nullptr; // Přerušit
    QPushButton *Button4 = nullptr; // Uložit protokol
    QPushButton *Button5 = nullptr; // Konec
    QPushButton *Button6 = nullptr; // Info
    TBFTable BFTable1{ConnectKind::ckRunningOrNew};
    TBFTable BFTable2{ConnectKind::ckRunningOrNew};
    // The save dialog's settings; its initial name follows the name chosen last.
    SaveFileRequest SaveDialog1;

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void createCheckBoxes();
    void arrangeTabOrder();
    void connectHandlers();
    void exitOnce();
    void processEventsOnClock();
    void processEventsNow();
    void colourBlueCaptions();

    std::array<QCheckBox *, 15> checkBoxes_{};
    bool runInProgress_ = false;
    bool closePending_ = false;
    bool exitDone_ = false;
    bool endPending_ = false;
    bool shownBefore_ = false;
    // Pending window events are processed during a run every kEventIntervalMs, not after every report
    // line, which cost more than the check itself. Each look also hands the lines gathered since the
    // last one to the text document; at 10 ms those pieces stay small enough that a click is handled
    // within about 50 ms even on an agenda where every record is a finding.
    static constexpr int kEventIntervalMs = 10;
    QElapsedTimer sinceEvents_;
    TfrmAbout *frmAbout_ = nullptr;
    std::function<void()> exitProgram_;
};

} // namespace vrelmont::ui
