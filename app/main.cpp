// Velmaro: audio splitter and converter.
#include "app/mdlMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (!Main())
        return 0;
    return QApplication::exec();
}
