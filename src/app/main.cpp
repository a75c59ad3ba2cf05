#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kurvaro"));
    window.resize(675, 464);
    window.show();
    return app.exec();
}
