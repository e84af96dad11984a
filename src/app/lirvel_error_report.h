#pragma once

#include <functional>
#include <string>

// The toolkit's standard error report: a message box with the failure's text. Tests replace
// the reporter to collect the messages instead of blocking on a modal box.
void ShowErrorReport(const std::string& message);
void SetErrorReporter(std::function<void(const std::string&)> reporter);

// Runs a handler that the toolkit calls: a failure that leaves it is shown by the error report
// and never crosses the event loop.
template <class F> void Guarded(F&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorReport(error.what());
    } catch (...) {
        ShowErrorReport("Неизвестная ошибка");
    }
}
