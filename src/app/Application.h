#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace vorlane {

// The application object: failures that escape an event handler go to one handler instead of
// ending the program.
class Application : public QApplication
{
public:
    Application(int& argc, char** argv);

    void SetExceptionHandler(std::function<void(const std::string&)> handler);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void(const std::string&)> handler_;
};

// Set once the user chose "E&xit": modal windows shown from then on close at once.
bool ExitRequested();
void RequestExit();
// Forgets the request: for a process that runs a new controller after one has exited (tests).
void ForgetExitRequest();

} // namespace vorlane
