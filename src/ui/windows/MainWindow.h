#pragma once
// The main window: the notice, the fifteen check boxes, the report box, the gauge and the commands.
// A check run started here writes through the window's run host into its report box and gauge.
#include "dialogs/Modal.h"
#include "settings/SelectedChecks.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vrelmont {
struct CurrentAgenda;
}

namespace vrelmont::ui {

class AgendaWindow;
class InfoWindow;
class MainWindowRunHost;
class ProgressGauge;
class ReportBox;
class RunAnnouncements;
struct EngineTables;

// The width a push button needs to show its caption unclipped with the style's margins.
int CaptionWidth(const QPushButton *button);

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Runs check over `agenda` with `tables`; both outlive the window.
    MainWindow(EngineTables &tables, const CurrentAgenda &agenda, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The checks whose boxes are ticked now, and ticking exactly those of `checks`.
    SelectedChecks selectedChecks() const;
    void setSelectedChecks(const SelectedChecks &checks);

    bool isRunning() const { return runInProgress_; }
    bool isClosePending() const { return closePending_; }
    // Whether Přerušit was pressed since the last Start.
    bool isAbortRequested() const;
    // Ends the main event loop, or, during a run, once the run has returned: ending it earlier would
    // also end every modal window the run still waits in (Info, a check's failure message).
    void endProgramWhenIdle();

    // The information window that Info shows with `programVersion`; the program entry sets its own.
    void setInfoWindow(InfoWindow *infoWindow, const QString &programVersion);
    // The agenda window that Změna agendy shows; the program entry sets its own.
    void setAgendaWindow(AgendaWindow *agendaWindow) { agendaWindow_ = agendaWindow; }
    // What Konec and the close box run (ExitProgram, set by the program entry), once per exit.
    // Without it Konec simply closes the window.
    void setExitProgram(std::function<void()> exitProgram) { exitProgram_ = std::move(exitProgram); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void onChangeAgendaClicked();
    void onStartClicked();
    void onAbortClicked();
    void onSaveReportClicked();
    void onExitClicked();
    void onInfoClicked();

private:
    void createControls();
    void createCheckBoxes();
    void arrangeTabOrder();
    void connectHandlers();
    void setRunState(bool running);
    void exitOnce();
    void colourBlueCaptions();
    QCheckBox *checkBox(int number) const { return checkBoxes_[static_cast<std::size_t>(number - 1)]; }

    EngineTables &tables_;
    const CurrentAgenda &agenda_;

    QFrame *iconOutline_ = nullptr;             // Shape4
    QFrame *iconBevel_ = nullptr;               // Bevel1
    QLabel *icon_ = nullptr;                    // Image1
    QFrame *noticeBevel_ = nullptr;             // Bevel2
    QLabel *notice_ = nullptr;                  // Label2
    QGroupBox *checkFrame_ = nullptr;           // GroupBox1
    std::array<QCheckBox *, 15> checkBoxes_{};  // [N - 1] is CheckBoxN
    ReportBox *reportBox_ = nullptr;            // RichEdit1
    ProgressGauge *gauge_ = nullptr;            // Gauge1
    QPushButton *changeAgendaButton_ = nullptr; // Button1 "Změna agendy"
    QPushButton *startButton_ = nullptr;        // Button2 "Start"
    QPushButton *abortButton_ = nullptr;        // Button3 "Přerušit"
    QPushButton *saveReportButton_ = nullptr;   // Button4 "Uložit protokol"
    QPushButton *exitButton_ = nullptr;         // Button5 "Konec"
    QPushButton *infoButton_ = nullptr;         // Button6 "Info"
    // The save dialog's settings; its initial name follows the name chosen last.
    SaveFileRequest saveRequest_;
    std::unique_ptr<MainWindowRunHost> runHost_;
    std::unique_ptr<RunAnnouncements> announcements_;

    bool runInProgress_ = false;
    bool closePending_ = false;
    bool exitDone_ = false;
    bool endPending_ = false;
    bool shownBefore_ = false;
    InfoWindow *infoWindow_ = nullptr;
    QString programVersion_;
    AgendaWindow *agendaWindow_ = nullptr;
    std::function<void()> exitProgram_;
};

} // namespace vrelmont::ui
