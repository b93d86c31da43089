#pragma once
// The data directory window: the user confirms or enters the host DATA directory, the engine is
// tested, and the agenda is chosen. It ends with Accepted only when an agenda was chosen.
#include "dialogs/DirectoryDialog.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vrelmont {
class TBFTable;
}

namespace vrelmont::ui {

class AgendaWindow;

class DataDirectoryWindow : public QDialog {
    Q_OBJECT
public:
    // The engine test runs on `engineTestTable`, the table component every check walks later.
    explicit DataDirectoryWindow(TBFTable &engineTestTable, QWidget *parent = nullptr);

    // The agenda window that "Další >>>" shows; the program entry sets its own.
    void setAgendaWindow(AgendaWindow *agendaWindow) { agendaWindow_ = agendaWindow; }
    // Shows "Verze " followed by the version in the title strip.
    void setProgramVersion(const QString &programVersion);
    // The path field's text, as typed or as loaded.
    QString dataPath() const;
    void setDataPath(const QString &path);
    // Locked: the path field read-only and "<>" on the button beside it; unlocked: editable and "...".
    void setPathLocked(bool locked);
    bool isPathLocked() const;
    // Whether "Konec" (or Escape) asked for the end of the program.
    bool isProgramEndRequested() const { return programEndRequested_; }

signals:
    // "Konec": the program ends at once, nothing is saved. The window also closes with Rejected,
    // so a caller that does not end the program at once still sees no agenda chosen.
    void programEndRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void onNextClicked();
    void onEndClicked();
    void onBrowseClicked();
    void onHelpClicked();

private:
    bool engineTestPassed();

    QFrame *titleBevel_;        // Bevel1
    QLabel *titleLabel_;        // Label1
    QLabel *versionLabel_;      // lblInfoVerze
    QLabel *pathCaption_;       // Label2
    QLineEdit *pathEdit_;       // Edit1
    QPushButton *browseButton_; // Button3 "..." or "<>"
    QPushButton *helpButton_;   // Button4 "Nápověda"
    QPushButton *endButton_;    // Button2 "Konec"
    QPushButton *nextButton_;   // Button1 "Další >>>"
    DirectoryDialog directoryDialog_;

    TBFTable &engineTestTable_;
    AgendaWindow *agendaWindow_ = nullptr;
    bool programEndRequested_ = false;
};

} // namespace vrelmont::ui
