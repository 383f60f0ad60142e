#include "app/Application.h"

#include <atomic>
#include <exception>

namespace vorlane {

namespace {

std::atomic<bool> exitRequested{false};

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::SetExceptionHandler(std::function<void(const std::string&)> handler)
{
    handler_ = std::move(handler);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        if (handler_)
            handler_(failure.what());
    } catch (...) {
        if (handler_)
            handler_({});
    }
    return false;
}

bool ExitRequested()
{
    return exitRequested;
}

void RequestExit()
{
    exitRequested = true;
}

void ForgetExitRequest()
{
    exitRequested = false;
}

} // namespace vorlane
