#include "app/lirvel_error_report.h"

#include <QApplication>
#include <QMessageBox>

namespace {

std::function<void(const std::string&)>& Reporter()
{
    static std::function<void(const std::string&)> reporter;
    return reporter;
}

} // namespace

void ShowErrorReport(const std::string& message)
{
    if (Reporter()) {
        Reporter()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          QString::fromStdString(message));
}

void SetErrorReporter(std::function<void(const std::string&)> reporter) { Reporter() = std::move(reporter); }
