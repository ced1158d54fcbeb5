// Velmoran: four classic fractals, drawn in one window.

#include <QApplication>

#include "ui/app_setup.hpp"
#include "ui/main_window.hpp"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    velmoran::ui::setupApplication(app);
    velmoran::ui::MainWindow form;
    form.show();
    return QApplication::exec();
}
