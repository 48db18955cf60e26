// The windowed program.
#include "gui/shell/windowedprogram.h"
#include "platform/allocator.h"

#include <QApplication>

int main(int argc, char **argv)
{
    ConfigureAllocator();
    QApplication app(argc, argv);
    WindowedProgram::SetUpApplication(app);
    return WindowedProgram::Run(app, QApplication::arguments().mid(1));
}
