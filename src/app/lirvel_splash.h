#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The borderless picture window shown from the first moment until the main window closes, with
// the version and, while the found files become the catalogue, the load progress.
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    void FormCreate();
    void SetMax(int max);
    void SetPosition(int position);
    int GetPosition() const;
    void Step();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;

private:
    int FPosition = 0;
};

extern TSplashForm* SplashForm;
