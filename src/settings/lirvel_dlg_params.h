#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

// The settings dialog: the book folders and the reader program. The list and the edit box are a
// working copy; the settings change only when the dialog ends with OK.
class TdlgParams : public QDialog
{
    Q_OBJECT
public:
    explicit TdlgParams(QWidget* parent = nullptr);

    // Fills the dialog from the settings, shows it modally and, on OK, stores the values back.
    bool Execute();

    void btnAddFolderClick();
    void btnDeleteFolderClick();
    void ebExeReaderButtonClick();
    void HelpButtonClick();

    // The choosers, replaceable by a test. An empty result means the user cancelled.
    virtual QString ChooseFolder();
    virtual QString ChooseFile();
    // Shows the dialog modally; true for OK.
    virtual bool ShowModal();

    QLabel* Label2;
    QListWidget* ListBox1;
    QToolButton* btnAddFolder;
    QToolButton* btnDeleteFolder;
    QLabel* Label1;
    QLineEdit* ebExeReader;
    QDialogButtonBox* ButtonPanel1;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QPushButton* HelpButton;
};

extern TdlgParams* dlgParams;
