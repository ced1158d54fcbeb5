// Velmoran: classic fractals, drawn in one window.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <QApplication>

#include "app/app_setup.hpp"
#include "app/command_line.hpp"
#include "app/picture_export.hpp"
#include "texts/user_texts.hpp"
#include "window/main_window.hpp"

namespace {

using namespace velmoran;

// One line on standard error, after the program's name.
void complain(const std::string& problem) { std::fprintf(stderr, "velmoran: %s\n", problem.c_str()); }

// Prints to stdout; a failed write is a failure too (a full disk, a
// closed pipe).
int printOut(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        complain(texts::message(texts::Message::StandardOutputFailed));
        return 1;
    }
    return 0;
}

// Qt's notices (no runtime folder, say) are not an export's to report: its
// one line on stderr tells how it went. Only Qt's failures get through.
void keepQtQuiet(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

int exportPicture(char* programName, const velmoran::app::ExportRequest& request)
{
    // No window is shown and none may be needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQtQuiet);
    int qtArgc = 1;
    QApplication app(qtArgc, &programName);
    std::string problem;
    // The one place an export's failures end: none may abort the program.
    try {
        problem = velmoran::app::exportPicture(request);
    } catch (const std::bad_alloc&) {
        problem = texts::message(texts::Message::Unexpected, {"memoria esaurita"});
    } catch (const std::exception& error) {
        problem = texts::message(texts::Message::Unexpected, {error.what()});
    } catch (...) {
        problem = texts::message(texts::Message::UnexpectedInSaving);
    }
    if (problem.empty())
        return 0;
    complain(problem);
    return 1;
}

// Qt ends a program that cannot reach its display with abort(), after its
// reasons in English. Those stay, for whoever has to mend it; then the
// program says so in Italian and ends with status 1, not a core dump.
void endIfNoDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        complain(texts::message(texts::Message::UnreachableDisplay));
        std::_Exit(1);
    }
}

int openWindow(char* programName, velmoran::app::CommandLine& command)
{
    // Qt reads only its own options, never ours.
    std::vector<char*> qtArgs{programName};
    for (std::string& arg : command.qtArguments)
        qtArgs.push_back(arg.data());
    int qtArgc = static_cast<int>(qtArgs.size());
    qtArgs.push_back(nullptr);
    const QtMessageHandler usual = qInstallMessageHandler(endIfNoDisplay);
    QApplication app(qtArgc, qtArgs.data());
    qInstallMessageHandler(usual);
    velmoran::app::setupApplication(app);
    velmoran::window::MainWindow form;
    form.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    using velmoran::app::CommandLine;
    CommandLine command = velmoran::app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
    case CommandLine::Action::Help: return printOut(texts::helpText());
    case CommandLine::Action::Version: return printOut(texts::versionLine());
    case CommandLine::Action::BadUsage:
        complain(command.problem);
        std::fputs(texts::kUsageLine, stderr);
        return 2;
    case CommandLine::Action::Export: return exportPicture(argv[0], command.exportRequest);
    case CommandLine::Action::OpenWindow: break;
    }
    // Qt would abort with a message in English.
    if (!velmoran::app::displayNamed(command, [](const char* name) -> const char* { return std::getenv(name); })) {
        complain(texts::message(texts::Message::NoDisplay));
        return 1;
    }
    return openWindow(argv[0], command);
}
