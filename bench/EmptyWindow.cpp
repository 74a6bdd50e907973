// An empty Qt Widgets window of a given size: what the viewer's start is measured against.
//   velmora-empty-window WIDTH HEIGHT
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(argc > 2 ? QString(argv[1]).toInt() : 640, argc > 2 ? QString(argv[2]).toInt() : 480);
    window.show();
    return application.exec();
}
