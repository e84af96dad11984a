#include "app/lirvel_application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Лирвель");
    return RunApplication();
}
