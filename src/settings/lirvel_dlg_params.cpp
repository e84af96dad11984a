#include "settings/lirvel_dlg_params.h"

#include "app/lirvel_error_report.h"
#include "settings/lirvel_dm_params.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

TdlgParams* dlgParams = nullptr;

TdlgParams::TdlgParams(QWidget* parent) : QDialog(parent)
{
    setObjectName("dlgParams");
    setWindowTitle("Настройка параметров");
    resize(466, 455);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 10, 6);
    Label2 = new QLabel("Папки с книгами", this);
    grid->addWidget(Label2, 0, 0);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setAccessibleName("Папки с книгами");
    Label2->setBuddy(ListBox1);
    grid->addWidget(ListBox1, 1, 0, 3, 1);

    btnAddFolder = new QToolButton(this);
    btnAddFolder->setObjectName("btnAddFolder");
    btnAddFolder->setAutoRaise(true);
    btnAddFolder->setIcon(QIcon(":/images/folder_add.png"));
    btnAddFolder->setToolTip("Добавить папку");
    btnAddFolder->setAccessibleName("Добавить папку");
    connect(btnAddFolder, &QToolButton::clicked, this, [this] { Guarded([this] { btnAddFolderClick(); }); });
    grid->addWidget(btnAddFolder, 1, 1);
    btnDeleteFolder = new QToolButton(this);
    btnDeleteFolder->setObjectName("btnDeleteFolder");
    btnDeleteFolder->setAutoRaise(true);
    btnDeleteFolder->setIcon(QIcon(":/images/folder_delete.png"));
    btnDeleteFolder->setToolTip("Удалить папку");
    btnDeleteFolder->setAccessibleName("Удалить папку");
    connect(btnDeleteFolder, &QToolButton::clicked, this, [this] { Guarded([this] { btnDeleteFolderClick(); }); });
    grid->addWidget(btnDeleteFolder, 2, 1);
    grid->setRowStretch(3, 1);

    Label1 = new QLabel("Программа чтения:", this);
    grid->addWidget(Label1, 4, 0, 1, 2);
    ebExeReader = new QLineEdit(this);
    ebExeReader->setObjectName("ebExeReader");
    ebExeReader->setAccessibleName("Программа чтения");
    Label1->setBuddy(ebExeReader);
    QAction* choose = ebExeReader->addAction(QIcon(":/images/open.png"), QLineEdit::TrailingPosition);
    choose->setToolTip("Выбрать программу");
    connect(choose, &QAction::triggered, this, [this] { Guarded([this] { ebExeReaderButtonClick(); }); });
    grid->addWidget(ebExeReader, 5, 0, 1, 2);

    ButtonPanel1 = new QDialogButtonBox(this);
    ButtonPanel1->setObjectName("ButtonPanel1");
    OKButton = ButtonPanel1->addButton("&ОК", QDialogButtonBox::AcceptRole);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = ButtonPanel1->addButton("Отмена", QDialogButtonBox::RejectRole);
    CancelButton->setObjectName("CancelButton");
    HelpButton = ButtonPanel1->addButton("&Справка", QDialogButtonBox::HelpRole);
    HelpButton->setObjectName("HelpButton");
    connect(ButtonPanel1, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ButtonPanel1, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ButtonPanel1, &QDialogButtonBox::helpRequested, this, [this] { Guarded([this] { HelpButtonClick(); }); });
    grid->addWidget(ButtonPanel1, 6, 0, 1, 2);
}

bool TdlgParams::Execute()
{
    ebExeReader->setText(QString::fromStdString(dmParams->ExeReader));
    ListBox1->clear();
    for (const std::string& folder : dmParams->Folders)
        ListBox1->addItem(QString::fromStdString(folder));
    const bool ok = ShowModal();
    if (ok) {
        dmParams->ExeReader = ebExeReader->text().toStdString();
        dmParams->Folders.clear();
        for (int i = 0; i < ListBox1->count(); ++i)
            dmParams->Folders.push_back(ListBox1->item(i)->text().toStdString());
    }
    return ok;
}

bool TdlgParams::ShowModal()
{
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

QString TdlgParams::ChooseFolder() { return QFileDialog::getExistingDirectory(this); }

QString TdlgParams::ChooseFile() { return QFileDialog::getOpenFileName(this); }

void TdlgParams::btnAddFolderClick()
{
    const QString folder = ChooseFolder();
    if (folder.isEmpty())
        return;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->text().compare(folder, Qt::CaseInsensitive) == 0)
            return;
    ListBox1->addItem(folder);
}

void TdlgParams::btnDeleteFolderClick()
{
    const int row = ListBox1->currentRow();
    if (row >= 0 && ListBox1->item(row)->isSelected())
        delete ListBox1->takeItem(row);
}

void TdlgParams::ebExeReaderButtonClick()
{
    const QString file = ChooseFile();
    if (!file.isEmpty())
        ebExeReader->setText(file);
}

void TdlgParams::HelpButtonClick()
{
    const QString page = QDir::current().filePath("help/params.html");
    if (!QFileInfo::exists(page) || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        throw std::runtime_error("Не удалось открыть справку: " + page.toStdString());
}
