#include "app/lirvel_splash.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

TSplashForm* SplashForm = nullptr;

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setFixedSize(320, 320);
    setObjectName("SplashForm");

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(0, 0, 320, 320);
    Image1->setPixmap(QPixmap(":/images/splash.png"));

    Label2 = new QLabel("1.0.1", this);
    Label2->setObjectName("Label2");
    Label2->setGeometry(152, 240, 150, 32);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont versionFont = Label2->font();
    versionFont.setPixelSize(16);
    Label2->setFont(versionFont);

    Label1 = new QLabel("Загрузка книг...", this);
    Label1->setObjectName("Label1");
    Label1->move(25, 260);
    QFont italic = Label1->font();
    italic.setItalic(true);
    Label1->setFont(italic);
    Label1->adjustSize();

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(25, 280, 272, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(0);
    ProgressBar1->setVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

void TSplashForm::FormCreate() { Label2->setText("1.0.1"); }

void TSplashForm::SetMax(int max)
{
    ProgressBar1->setMaximum(max);
    SetPosition(0);
}

void TSplashForm::SetPosition(int position)
{
    // QProgressBar clamps its value; the position is kept as given so that Step counts on.
    FPosition = position;
    ProgressBar1->setValue(std::min(position, ProgressBar1->maximum()));
    const bool visible = position > 0 && ProgressBar1->maximum() > position;
    ProgressBar1->setVisible(visible);
    Label1->setVisible(visible);
    QApplication::processEvents();
}

int TSplashForm::GetPosition() const { return FPosition; }

void TSplashForm::Step() { SetPosition(GetPosition() + 1); }
