#include "app/MainForm.h"
#include "app/QtTexts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kurvaro/kurvaro.ico")));
    kurvaro::installGermanQtTexts(app);
    kurvaro::TMatheMain MatheMain; // FormCreate
    MatheMain.CreateDialogs();     // Form2, Form1, Form4
    MatheMain.show();              // the loop shows the main window first: FormShow
    return app.exec();
}
