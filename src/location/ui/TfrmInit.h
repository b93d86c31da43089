#pragma once
// The data directory window: the user confirms or enters the host DATA directory, the engine is
// tested, and the agenda is chosen. It ends with Accepted only when an agenda was chosen.
#include "dialogs/TDirectoryDialog.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vrelmont {
class TBFTable;
}

namespace vrelmont::ui {

class TfrmInit : public QDialog {
    Q_OBJECT
public:
    // `BFTable1` is the main window's table component; the engine test runs on it.
    explicit TfrmInit(TBFTable &BFTable1, QWidget *parent = nullptr);

    // Shows "Verze " followed by the version in the title strip.
    void SetProgramVersion(const QString &programVersion);
    // Locked: the path field disabled and "<>" on the button beside it; unlocked: enabled and "...".
    void SetPathLocked(bool locked);
    bool IsPathLocked() const;
    // Whether "Konec" (or Escape) asked for the end of the program.
    bool ProgramEndRequested() const { return programEndRequested_; }

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    QFrame *Bevel1;
    QLabel *Label1;
    QLabel *lblInfoVerze;
    QLabel *Label2;
    QLineEdit *Edit1;
    QPushButton *Button3; // "..." or "<>"
    QPushButton *Button4; // "Nápověda"
    QPushButton *Button2; // "Konec"
    QPushButton *Button1; // "Další >>>"
    TDirectoryDialog DirectoryDialog1;

signals:
    // "Konec": the program ends at once, nothing is saved. The window also closes with Rejected,
    // so a caller that does not end the program at once still sees no agenda chosen.
    void programEndRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool EngineTestPassed();

    TBFTable &BFTable1_;
    bool programEndRequested_ = false;
};

} // namespace vrelmont::ui
